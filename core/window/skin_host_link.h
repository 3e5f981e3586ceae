// The skin host the player gives its skin state: the player core, its settings and the main
// window, as the skin's element displays and commands need them.
#pragma once
#include "skin/skin_host.h"

ISkinHost* PlayerSkinHost();
