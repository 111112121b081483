// The program's version, in one place: the resource script and the command-line
// converter both take it from here.
#pragma once

#define WAYFOLD_VERSION_MAJOR 1
#define WAYFOLD_VERSION_MINOR 0
#define WAYFOLD_VERSION_TEXT "1.0"
