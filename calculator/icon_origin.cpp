#include "icon_origin.h"

namespace mensurio {

int IconOrigin(int clientExtent, int iconExtent) { return (clientExtent - iconExtent + 1) / 2; }

}  // namespace mensurio
