#include "game/app/default_names.h"

const char* const kDefaultAdventureNames[kHighScoreEntries] = {"Itzel Moonstone", "Tahu Greenleaf", "Ona Sunward"};

const char* const kDefaultNamePoolList[kDefaultNamePool] = {
    "Akalo", "Beru", "Chaska", "Dalu", "Emeka", "Fenn", "Galo", "Hiwa", "Ixa", "Jarra", "Kito", "Lumi", "Mosi",
    "Nalu", "Oro", "Pelu", "Quill", "Rua", "Sefa", "Taro", "Ulo", "Veya", "Wiru", "Xochi", "Yara", "Zuri",
};

const char* const kDefaultSurvivalNames[MapInfo::kCount][kHighScoreEntries] = {
    {"Old Mossback", "Kiri", "Tamu"},        {"Jade Heron", "Bastu", "Nilo"},
    {"Cinder Toad", "Mirra", "Eko"},         {"Reedwalker", "Suna", "Pim"},
    {"Amber Fang", "Lio", "Dova"},           {"Vine Keeper", "Oska", "Teru"},
    {"Stone Ear", "Wanji", nullptr},         {"Marsh Lantern", "Quen", "Abi"},
    {"Gold Moth", "Ferro", "Ilka"},          {"Drum of Rain", "Maka", "Soli"},
    {"Fern Sleeper", "Rasu", "Ytte"},        {"Copper Newt", "Hale", "Juno"},
    {"Idol Watcher", "Cato", nullptr},       {"Firefly Nine", "Ume", "Bram"},
    {"Temple Cat", "Leku", "Navi"},          {"Mist Runner", "Orun", "Zef"},
    {"Sun Carver", "Tika", "Glim"},          {"Lotus Thumb", "Azu", "Remi"},
    {"Owl of Dusk", "Piko", nullptr},        {"Moss Crown", "Vero", "Kade"},
    {"River Coin", "Elu", "Hamo"},           {"Last Lantern", "Sira", "Moko"},
};
