// The colour chooser dialog.
#pragma once
#include <cstdint>

// Lets the user choose a colour (0xRRGGBB), starting from colour; returns the
// chosen colour, or colour when the dialog is cancelled. The 16 custom
// colours live for the whole run. Until the dialog's controls exist it
// returns colour at once.
int32_t zecolorchooser(int32_t colour, const char *title);
// The custom colours (16 entries), for the dialog.
int32_t *zecolorchooser_custom(void);
