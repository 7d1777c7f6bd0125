#include "main/standin_app.h"

#include <new>

#include "engine/core/options_record.h"

StandInApp::StandInApp()
{
    packsEnabled_ = false;
    static const int sizes[10][2] = {{640, 480}, {480, 640}, {320, 240}, {240, 320}, {320, 320},
                                     {800, 480}, {480, 800}, {400, 240}, {240, 400}, {240, 240}};
    for (const auto& size : sizes)
        AddSupportedResolution(size[0], size[1]);
}

bool StandInApp::ApplyLayout(int width, int height)
{
    return width > 0 && height > 0;
}

OptionsRecord* StandInApp::CreateOptionsRecord()
{
    return new (std::nothrow) OptionsRecord();
}

String StandInApp::GetImageFolder()
{
    String folder;
    return String::Concat(folder, GetExeDirectory(), String("i_800x480\\"));
}

String StandInApp::GetSoundFolder()
{
    String folder;
    return String::Concat(folder, GetExeDirectory(), String("Sounds\\"));
}

String StandInApp::GetSaveDirectory()
{
    return ResolveSaveDirectory("software\\Morvalent\\Kelo", "SaveDir");
}

Application* CreateApplication()
{
    return new (std::nothrow) StandInApp();
}
