#include "view/wave_views_win.h"

#include "base/update_views.h"
#include "view/freq_wnd.h"
#include "view/wave_wnd.h"
#include "view/zoom_wnd.h"

void UpdateWaveViews()
{
    UpdateWaveWindow();
    UpdateZoomStrips();
    // The sound around the play position may have changed with the view.
    NotePlayPosition(true);
}

void InstallWaveViewsUpdate()
{
    SetViewUpdateHandler(UpdWaveView, UpdateWaveViews);
}
