#pragma once
// Runs a data tool on a scratch source and keeps what it said and how it ended.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/host_file.h"

struct ToolRun {
    int status = -1;
    std::string output;  // stderr and stdout together
};

class ToolScratch {
public:
    ToolScratch()
    {
        char pattern[] = "/tmp/kelo_tools_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder = made ? made : "/tmp";
    }
    ~ToolScratch() { std::system(("rm -rf '" + folder + "'").c_str()); }
    ToolScratch(const ToolScratch&) = delete;
    ToolScratch& operator=(const ToolScratch&) = delete;

    std::string Path(const std::string& name) const { return folder + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const
    {
        WriteHostFile(Path(name), text.data(), text.size());
        return Path(name);
    }
    // The tool from the build's tool folder, with its arguments (quoted by the caller as needed).
    ToolRun Run(const std::string& tool, const std::string& arguments) const
    {
        ToolRun run;
        std::string command = std::string(KELO_TOOLS_DIR) + "/" + tool + " " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char chunk[512];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            run.output.append(chunk, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    std::string folder;
};
