#include "icon_origin.h"

int IconOrigin(int clientExtent, int iconExtent) { return (clientExtent - iconExtent + 1) / 2; }
