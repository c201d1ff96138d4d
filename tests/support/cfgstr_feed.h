// Shared by the option-string fuzz test and the libFuzzer target: hands one
// split option string to the attribute families that take it without a
// geometry, so a family added here is fuzzed by both.
#pragma once
#include "zecfgstr.h"
#include "zecfgstr_families.h"

// Returns the file-dialogue family's result for the caller's own checks.
inline zeFileDlgAttr cfgstr_feed_families(char **e) {
    zeCheckAttr ck = {};
    zecfgstr_checkattr(e, 1, &ck);
    zeEditAttr ed = {};
    zecfgstr_editattr(e, 1, &ed);
    zeTermAttr tm = {};
    zecfgstr_termattr(e, 1, &tm);
    zeUpDownAttr ud = {};
    zecfgstr_updownattr(e, 1, &ud);
    zeSliderAttr sl = {};
    zecfgstr_sliderattr(e, 1, &sl);
    bool v = true, h = true;
    zecfgstr_scrollbars(e, 1, &v, &h);
    zeTabAttr tb = {};
    zecfgstr_tabattr(e, 1, &tb);
    zeFontAttr fa = {};
    zecfgstr_fontattr(e, 1, &fa);
    zeImageAttr ia = {};
    zecfgstr_imageattr(e, 0, &ia);
    zecfgstr_pxmapformat(e, 0, 3);
    zeViewAttr va = {};
    zecfgstr_viewattr(e, 1, &va);
    zeWindowAttr wa;
    zecfgstr_window_defaults(&wa);
    zecfgstr_windowattr(e, 1, &wa);
    zePsAttr pa = {};
    zecfgstr_psattr(e, 1, &pa);
    zeFileDlgAttr da = {};
    zecfgstr_filedlgattr(e, 0, &da);
    return da;
}
