// The modules the program carries in itself (the built-in decoders and the stream sources). The
// program names them before the player core is made; the core registers them first, in this
// order, and the decoder choice takes its sources from here. Nothing named: none registered.
#pragma once
#include <vector>

#include "core/dec_module.h"

struct BuiltInModules {
  std::vector<DecModule*> decoders;
  InputSource* fileReader = nullptr;
  InputSource* httpStream = nullptr;
  DecModule* playlistProbe = nullptr;
};

void SetBuiltInModules(const BuiltInModules& modules);
const BuiltInModules& GetBuiltInModules();
