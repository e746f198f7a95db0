// Where the program icon goes in the minimised window's client area.
#pragma once

namespace mensurio {

// The coordinate that centres an icon of iconExtent pixels along a client extent, rounding as
// (client - icon + 1) / 2 does in integer division: toward zero, so a slightly too small
// client area still gives 0, not -1.
int IconOrigin(int clientExtent, int iconExtent);

}  // namespace mensurio
