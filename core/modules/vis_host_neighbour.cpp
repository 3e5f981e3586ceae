// The visualisation host's body belongs to its own work (module loading, the sample ring,
// rendering); until it is built these entry points stand here and log that they were reached.
#include "core/modules/vis_host.h"

#include "core/player/core_seam.h"

CVisHost::CVisHost(CPlayerCore* core) : core_(core) {}
CVisHost::~CVisHost() = default;

void CVisHost::Init(int, int) { LogSeam(u"CVisHost::Init"); }
void CVisHost::Deinit() { LogSeam(u"CVisHost::Deinit"); }
void CVisHost::AddPCM(const void*, int, int, int, int) { LogSeam(u"CVisHost::AddPCM"); }
void CVisHost::SetInfo(int, int) { LogSeam(u"CVisHost::SetInfo"); }
int CVisHost::Notify(UINT, void*, UINT, void*, UINT) {
  LogSeam(u"CVisHost::Notify");
  return 0;
}
DWORD CVisHost::OnDecoderStatus(UINT, void*, UINT, void*, UINT) {
  LogSeam(u"CVisHost::OnDecoderStatus");
  return 0;
}
void CVisHost::ToggleMode() { LogSeam(u"CVisHost::ToggleMode"); }
void CVisHost::RecreateWindow(int) { LogSeam(u"CVisHost::RecreateWindow"); }
void CVisHost::OnSeek() { LogSeam(u"CVisHost::OnSeek"); }
void CVisHost::SetItem(IMediaItem*) { LogSeam(u"CVisHost::SetItem"); }
void CVisHost::Paint(int, BOOL) { LogSeam(u"CVisHost::Paint"); }
void CVisHost::VisHostSetRect1(const RECT&) { LogSeam(u"CVisHost::VisHostSetRect1"); }
void CVisHost::SetLargeRect(const RECT&) { LogSeam(u"CVisHost::SetLargeRect"); }
void CVisHost::VisHostSetColors(const DWORD*) { LogSeam(u"CVisHost::VisHostSetColors"); }
