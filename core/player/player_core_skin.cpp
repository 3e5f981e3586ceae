// The core's side of the skin: the skin state it owns hands the skin its paint and stylus
// messages and shows the user-interface commands; applying a skin gives the state its model;
// its playlist and visualisation areas are laid out once the skin is shown.
#include "core/player/player_core.h"
#include "core/window/skin_host_link.h"
#include "skin/skin_state.h"

void CPlayerCore::ApplySkin(CSkin* skin) {
  if (!skinState_) skinState_ = std::make_unique<CSkinState>(window_, PlayerSkinHost());
  skinState_->SetSkin(skin);
}
