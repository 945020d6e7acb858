#pragma once
// Where a command runs decides which instructions it may use: the domain mask
// of a command is one of the first four codes, plus the group bit for cell and
// button commands; "any" is every bit.

#include <cstdint>

constexpr uint8_t DVDDOMAIN_FIRST_PLAY = 1;
constexpr uint8_t DVDDOMAIN_TITLE = 2; // VTS title PGCs
constexpr uint8_t DVDDOMAIN_VMG_MENU = 4;
constexpr uint8_t DVDDOMAIN_VTS_MENU = 8;
constexpr uint8_t DVDDOMAIN_COMMAND_GROUP = 16; // added for cell and button commands
constexpr uint8_t DVDDOMAIN_ANY = 63;
