// Installs the decoders' generic tag readers, the network-path test and the attribute-name
// lookup into the media library, as the player does at start-up.
#pragma once

void InstallTagReaders();
