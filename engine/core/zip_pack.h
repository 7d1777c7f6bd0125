#pragma once
// Stand-in until the pack reader lands: Open answers 1 when the file exists.
class Application;

class ZipPack {
public:
    explicit ZipPack(Application* application);
    ZipPack(const ZipPack&) = delete;
    ZipPack& operator=(const ZipPack&) = delete;
    virtual ~ZipPack();

    int Open(const char* path);
    int Close();

private:
    Application* application_;
    bool open_ = false;
};
