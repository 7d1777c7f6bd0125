#pragma once
// A save file that cannot be read is kept beside its new one, never written over: it moves to
// the first free name of "<path>.bad", "<path>.bad1" ... "<path>.bad9", and the move is said.
#include "platform/base.h"

// How many damaged copies of one save are kept; with all names taken nothing more is set aside.
constexpr int kSetAsideNames = 10;

// Moves whatever lies at path (a file, a folder, a pipe) to the first free name and says where,
// with the reason it could not be read when given. False when no name is free or the move failed:
// the thing stays where it is and it is said why.
bool SetAsideDamaged(const char* path, const char* reason = nullptr);
