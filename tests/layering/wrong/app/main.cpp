// The host reaching an SDK header without naming its folder.
#include "mesh.h"
