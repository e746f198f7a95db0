// Command ids that belong to the framework rather than to a program.
#pragma once

#define ID_HELP 0xE146  // the standard Help command
