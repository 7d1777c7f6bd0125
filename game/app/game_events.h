#pragma once
// The game's event codes above the engine's widget messages. A screen asks the application for
// another screen with 1000 to 1016, usually with the fade flag; 1017 and 1018 are events the map
// and the name entry send to themselves.

enum GameEvent {
    kEventPlayLevel = 1000,
    kEventNothing = 1001,
    kEventContinueAdventure = 1002,
    kEventContinueGauntlet = 1003,
    kEventStageComplete = 1004,
    kEventTempleComplete = 1005,
    kEventHighScores = 1007,
    kEventLoaded = 1008,
    kEventStartMenu = 1009,
    kEventTheEnd = 1010,
    kEventInstructions = 1011,
    kEventHelpBeforePlay = 1012,
    kEventAbout = 1013,
    kEventAdventureMap = 1014,
    kEventGauntletMap = 1015,
    kEventNewAdventure = 1016,
    kEventChooseStage = 1017,   // the adventure map's stage choice; the stage in the value
    kMsgTypedCharacter = 1018,  // the name entry's typed character, in the value argument
};
