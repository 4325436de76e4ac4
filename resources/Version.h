// The installer's own version: the product version gives the title of every dialog.
#pragma once
#define SETUP_VERSION_MAJOR 1
#define SETUP_VERSION_MINOR 0
#define SETUP_VERSION_RELEASE 0
#define SETUP_VERSION_BUILD 1
#define SETUP_VERSION_TEXT "1.0.0.1"
