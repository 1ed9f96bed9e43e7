#include "edit/effect_dlg.h"
#include "edit/fill.h"
#include "resource.h"
#include "sound/document.h"

namespace {

// The largest sample value of the document's width: 127 or 32767.
int32_t FullScale()
{
    const KvWaveFormat* w = TheDocument().format.Record();
    return w && w->wBitsPerSample == 8 ? 127 : 32767;
}

class FillDlg : public EffectDialog {
public:
    FillDlg() : EffectDialog(IDD_FILL, Fill)
    {
        const int32_t full = FullScale();
        AddField(IDC_FILL_VALUE, -full, full, &EffectSettings::fillValue);
    }
};

}

bool FillDialog(HWND owner)
{
    FillDlg d;
    return d.Run(owner);
}
