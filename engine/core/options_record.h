#pragma once
// The engine's persistent settings, kept in "global.opt" in the save folder. The game derives its
// profile store from it and appends its own block. Two forms: the field-by-field Archive form
// (the game's) and a raw form framed by tag words (the engine's default).
#include <cstdint>
#include <functional>

#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class Archive;
class PackMemoryFile;
class Stream;

// The word whose bytes are the first four characters in memory order; 0 for null.
uint32_t MakeFourCC(const char* text);

class OptionsRecord {
public:
    OptionsRecord();
    OptionsRecord(const OptionsRecord&) = delete;
    OptionsRecord& operator=(const OptionsRecord&) = delete;
    virtual ~OptionsRecord();

    virtual void SetDefaultKeys();
    virtual void SetDefaults();
    virtual bool UsesArchiveForm() { return false; }
    virtual bool ReadRaw(Stream* stream);
    virtual bool WriteRaw(Stream* stream);
    // The engine part: version, switches, volumes, rotation, 32 keys and "BasicDataEnd".
    virtual bool Serialize(Stream* stream, bool saving);

    // The derived block of the raw form: a derived class that has one answers true and moves its
    // fields here; the record frames them with "DRVS" and "DRVE".
    virtual bool HasDerivedBlock() { return false; }
    virtual bool SerializeDerivedRaw(Stream* stream, bool saving);

    // Ok, or the file and why it was refused ("cut short", "a folder", a word out of its range).
    LoadResult Load(Application* application);
    // Replaces the old file only once the new one is whole; false when anything failed.
    bool Save(Application* application);
    LoadResult LoadSerialized(Application* application);
    bool SaveSerialized(Application* application);
    // Where the record lives: global.opt in the application's save folder.
    static String FilePath(Application* application);

    bool soundOn = true;
    int32_t soundVolume = 50;
    bool musicOn = true;
    int32_t musicVolume = 50;
    bool mute = false;
    int32_t keyCodes[32] = {};
    uint8_t keyFlags[32] = {};
    int32_t rotation = 0;
    uint32_t version = 1;

    // The first word of the loaded file that was out of its range and read tolerantly (a flag
    // byte of 2 read as 1, a volume held to 0..100), said once by whoever loaded it; empty when none.
    const char* ToleratedWord() const { return tolerated_; }
    // Notes such a word; the first note of a file stands. True when this one is the first.
    bool NoteTolerated(const char* format, ...) __attribute__((format(printf, 2, 3)));

protected:
    // Keeps loaded values in range: volumes 0..100, rotation -2 (automatic), 0, 1 or 2.
    void CheckLoadedValues();
    // A read that finds the file damaged notes why and answers false.
    bool Refuse(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A flag byte the archive read as 1 from another non-zero value is noted, by its offset.
    void NoteLooseFlag(const Archive& archive);

private:
    // Reads global.opt whole and runs read over it; why it was refused, else ok.
    LoadResult ReadFile(Application* application, const std::function<bool(PackMemoryFile&)>& read);

    char refusal_[120] = "";
    char tolerated_[160] = "";
};
