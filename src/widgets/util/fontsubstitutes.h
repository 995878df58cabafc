#pragma once

// The windows are designed in faces of the original platform. Where the system lacks one, a
// free face of the same kind stands in, rather than whatever the font matcher picks (for
// "Comic Sans MS" that is often a calligraphic script that is hard to read).
void substituteMissingFonts();
