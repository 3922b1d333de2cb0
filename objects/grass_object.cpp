#include "objects/grass_object.h"

void GrassObject::BeginEditParams(IObjParam* iface, ULONG flags, Animatable* prev) {
  PanelInterface() = iface;
  SimpleObject::BeginEditParams(iface, flags, prev);
  if (ClassDesc2* desc = Descriptor()) desc->BeginEditParams(iface, this, flags, prev);
}

void GrassObject::EndEditParams(IObjParam* iface, ULONG flags, Animatable* next) {
  SimpleObject::EndEditParams(iface, flags, next);
  if (ClassDesc2* desc = Descriptor()) desc->EndEditParams(iface, this, flags, next);
  PanelInterface() = nullptr;
}

IParamBlock2* GrassObject::GetParamBlockByID(BlockID id) { return pblock && pblock->ID() == id ? pblock : nullptr; }

void GrassObject::SetReference(int i, RefTargetHandle target) {
  if (i != 0) return;
  pblock = dynamic_cast<IParamBlock2*>(target);
  pblock2 = pblock;
}

int GrassObject::CanConvertToType(Class_ID obtype) {
  if (obtype == defObjectClassID || obtype == triObjectClassID) return TRUE;
  return SimpleObject::CanConvertToType(obtype);
}
