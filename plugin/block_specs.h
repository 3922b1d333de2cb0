// The parameter tables of the four classes. Each class's folder defines its own; the plug-in's
// registry builds the four ParamBlockDesc2 from them, in the library's construction order.
#pragma once
#include "sdk/paramdesc.h"

ParamBlockSpec GrassBladeBlockSpec(ClassDesc2* owner);
ParamBlockSpec GrassBundleBlockSpec(ClassDesc2* owner);
ParamBlockSpec LawnBlockSpec(ClassDesc2* owner);
ParamBlockSpec LawnMowerBlockSpec(ClassDesc2* owner);
