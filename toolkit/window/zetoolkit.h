// The whole toolkit's start-up, layer by layer.
#pragma once

// The core entry (zeentry_init), then the font registry and its drawing
// hooks. Windows and the backend start on first use.
void zetoolkit_init(int argc, char **argv);
