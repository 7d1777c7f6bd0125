#pragma once
// The messages every widget, dialog and screen exchanges through Widget::SendEvent; a game numbers
// its own events above them.
enum WidgetMessage : int {
    kMsgCommand = 600,
    kMsgPressed = 601,
    kMsgTunerChanged = 602,
    kMsgTunerDragged = 603,
    kMsgCheckToggled = 604,
    kMsgActionRun = 605,
    kMsgChildClosed = 606,
};
