#include "engine/core/options_record.h"

#include <gtest/gtest.h>

#include "engine/core/pack_memory_file.h"
#include "engine/core/stream.h"
#include "file_fixtures.h"
#include "platform/null/test_hooks.h"

namespace {

class ArchiveFormRecord : public OptionsRecord {
public:
    bool UsesArchiveForm() override { return true; }
};

// A raw-form record with a block of its own.
class DerivedRawRecord : public OptionsRecord {
public:
    bool HasDerivedBlock() override { return true; }
    bool SerializeDerivedRaw(Stream* stream, bool saving) override
    {
        return saving ? stream->WriteInt32(extra) == 4 : stream->ReadInt32(&extra) == 4;
    }
    int32_t extra = 0;
};

class OptionsApp : public FileTestApp {
public:
    using FileTestApp::FileTestApp;
    OptionsRecord* CreateOptionsRecord() override { return new ArchiveFormRecord(); }
};

Bytes DefaultImage()
{
    Bytes image = {1, 0, 0, 0, 1, 50, 0, 0, 0, 1, 50, 0, 0, 0, 0, 0, 0, 0, 0};
    const int32_t keys[6] = {0, 37, 39, 38, 40, 13};
    for (int i = 0; i < 32; ++i) {
        PutLe32(image, static_cast<uint32_t>(i < 6 ? keys[i] : 0));
        image.push_back(0);
    }
    PutLe32(image, 12);
    for (char c : std::string("BasicDataEnd"))
        image.push_back(static_cast<uint8_t>(c));
    return image;
}

}  // namespace

TEST(OptionsRecord, DefaultArchiveImageIsByteExact)
{
    OptionsRecord record;
    record.SetDefaults();
    PackMemoryFile file;
    ASSERT_TRUE(file.Allocate(15000));
    ASSERT_TRUE(record.Serialize(&file, true));
    ASSERT_EQ(file.Tell(), 195);
    Bytes written(static_cast<uint8_t*>(file.GetBuffer()), static_cast<uint8_t*>(file.GetBuffer()) + 195);
    EXPECT_EQ(written, DefaultImage());
    EXPECT_EQ(MakeFourCC("APPS"), 0x53505041u);
    EXPECT_EQ(MakeFourCC(nullptr), 0u);
}

TEST(OptionsRecord, SavesAndLoadsGlobalOpt)
{
    ScratchFolder folder;
    OptionsApp app(folder.EngineFolder());
    ArchiveFormRecord record;
    record.SetDefaults();
    record.soundVolume = 35;
    record.musicOn = false;
    record.rotation = 2;
    record.keyCodes[7] = 65;
    record.keyFlags[7] = 1;
    ASSERT_TRUE(record.Save(&app));
    EXPECT_EQ(ReadHostFile(folder.Host("global.opt")).size(), 195u);
    EXPECT_FALSE(HostFileExists(folder.Host("global.opt.tmp")));

    ArchiveFormRecord back;
    back.SetDefaults();
    ASSERT_TRUE(back.Load(&app).ok());
    EXPECT_EQ(back.soundVolume, 35);
    EXPECT_FALSE(back.musicOn);
    EXPECT_EQ(back.rotation, 2);
    EXPECT_EQ(back.keyCodes[7], 65);
    EXPECT_EQ(back.keyFlags[7], 1);

    // A failed save says so and keeps the old file.
    Bytes before = ReadHostFile(folder.Host("global.opt"));
    record.soundVolume = 99;
    nullbackend::FailFileCalls(nullbackend::FileCall::Move, 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(record.Save(&app));
    EXPECT_EQ(ReadHostFile(folder.Host("global.opt")), before);
    // The replace is only done once the folder holding the new name is synced.
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 1, ERROR_WRITE_FAULT);
    EXPECT_FALSE(record.Save(&app));
    nullbackend::FailFileCalls(nullbackend::FileCall::FolderSync, 0, 0);
    OptionsApp nowhere(folder.EngineFolder() + "missing\\");
    EXPECT_FALSE(record.Save(&nowhere));
}

TEST(OptionsRecord, DamagedFilesGiveDefaultsAndValuesAreChecked)
{
    ScratchFolder folder;
    OptionsApp app(folder.EngineFolder());
    Bytes image = DefaultImage();
    image[5] = 75;                // sound volume
    image[image.size() - 1] = 'D';  // "BasicDataEnD"
    WriteHostFile(folder.Host("global.opt"), image);
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_TRUE(app.OptionsDefaultsUsed());
    EXPECT_EQ(app.GetOptions()->soundVolume, 50);

    image = DefaultImage();
    image[5] = 250;           // volume above 100
    image[10] = 0xFB;         // music volume -5
    image[11] = image[12] = image[13] = 0xFF;
    image[15] = 7;            // rotation
    image[19 + 5 * 2 + 4] = 2;  // flag byte of key entry 2
    WriteHostFile(folder.Host("global.opt"), image);
    nullbackend::ClearMessageBoxes();
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_FALSE(app.OptionsDefaultsUsed());
    OptionsRecord* options = app.GetOptions();
    EXPECT_EQ(options->soundVolume, 100);
    EXPECT_EQ(options->musicVolume, 0);
    EXPECT_EQ(options->rotation, -2);
    EXPECT_EQ(options->keyFlags[2], 1);
    // Read the forgiving way, and said: one message, for the first such word only.
    ASSERT_EQ(nullbackend::MessageBoxes().size(), 1u);
    EXPECT_NE(nullbackend::MessageBoxes()[0].find("A setting in global.opt"), std::string::npos);

    image.resize(190);
    WriteHostFile(folder.Host("global.opt"), image);
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_TRUE(app.OptionsDefaultsUsed());

    // Keys read before the damage was found do not outlive it: every entry is a default again.
    image = DefaultImage();
    image[19] = 99;                  // key entry 0
    image[19 + 5 * 7] = 65;          // key entry 7
    image[19 + 5 * 31 + 4] = 1;      // flag of key entry 31
    image[image.size() - 1] = 'D';
    WriteHostFile(folder.Host("global.opt"), image);
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_TRUE(app.OptionsDefaultsUsed());
    EXPECT_EQ(options->keyCodes[0], 0);
    EXPECT_EQ(options->keyCodes[7], 0);
    EXPECT_EQ(options->keyFlags[31], 0);
    EXPECT_EQ(options->keyCodes[1], 37);
}

TEST(OptionsRecord, OversizedFilesAreRefusedUnread)
{
    ScratchFolder folder;
    OptionsApp app(folder.EngineFolder());
    Bytes image = DefaultImage();
    image[5] = 75;
    // A good record followed by padding up to 1 MB loads; one byte more is refused.
    image.resize(1 << 20, 0);
    WriteHostFile(folder.Host("global.opt"), image);
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_FALSE(app.OptionsDefaultsUsed());
    EXPECT_EQ(app.GetOptions()->soundVolume, 75);
    image.push_back(0);
    WriteHostFile(folder.Host("global.opt"), image);
    ASSERT_TRUE(app.LoadOptions());
    EXPECT_TRUE(app.OptionsDefaultsUsed());
    EXPECT_EQ(app.GetOptions()->soundVolume, 50);

    DerivedRawRecord raw;
    raw.SetDefaults();
    FileTestApp rawApp(folder.EngineFolder());
    ASSERT_TRUE(raw.Save(&rawApp));
    Bytes rawImage = ReadHostFile(folder.Host("global.opt"));
    rawImage.resize((1 << 20) + 1, 0);
    WriteHostFile(folder.Host("global.opt"), rawImage);
    EXPECT_TRUE(raw.Load(&rawApp).failed());
}

TEST(OptionsRecord, RawFormWithTagsPaddingAndADerivedBlock)
{
    ScratchFolder folder;
    FileTestApp app(folder.EngineFolder());
    DerivedRawRecord record;
    record.SetDefaults();
    record.mute = true;
    record.soundVolume = 20;
    record.extra = 0x0A0B0C0D;
    ASSERT_TRUE(record.Save(&app));
    Bytes file = ReadHostFile(folder.Host("global.opt"));
    ASSERT_EQ(file.size(), 192u + 12u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), Text("APPS"));
    EXPECT_EQ(Bytes(file.begin() + 188, file.begin() + 196), Text("APPEDRVS"));
    EXPECT_EQ(Bytes(file.begin() + 196, file.begin() + 200), (Bytes{0x0D, 0x0C, 0x0B, 0x0A}));
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), Text("DRVE"));
    EXPECT_EQ(Bytes(file.begin() + 4, file.begin() + 12), (Bytes{1, 0, 0, 0, 20, 0, 0, 0}));
    EXPECT_EQ(Bytes(file.begin() + 20, file.begin() + 24), (Bytes{1, 0, 0, 0}));

    DerivedRawRecord back;
    back.SetDefaults();
    ASSERT_TRUE(back.Load(&app).ok());
    EXPECT_TRUE(back.mute);
    EXPECT_EQ(back.soundVolume, 20);
    EXPECT_EQ(back.extra, 0x0A0B0C0D);
    EXPECT_EQ(back.keyCodes[5], 13);

    file[file.size() - 1] = 'X';
    WriteHostFile(folder.Host("global.opt"), file);
    EXPECT_TRUE(back.Load(&app).failed());
    OptionsRecord plain;
    EXPECT_TRUE(plain.Load(&app).ok());
    file[0] = 'X';
    WriteHostFile(folder.Host("global.opt"), file);
    EXPECT_TRUE(plain.Load(&app).failed());
}
