#include "sdk/object.h"

#include "sdk/node.h"

void GeomObject::GetWorldBoundBox(TimeValue t, INode* node, ViewExp* /*vpt*/, Box3& box) {
  BOOL needDelete = FALSE;
  Mesh* m = GetRenderMesh(t, node, needDelete);
  box.Init();
  if (!m) return;
  Matrix3 tm = node ? node->GetObjectTM(t) : Matrix3();
  box = m->getBoundingBox(&tm);
  if (needDelete) delete m;
}

int TriObject::CanConvertToType(Class_ID obtype) { return obtype == triObjectClassID || obtype == defObjectClassID; }

Object* TriObject::ConvertToType(TimeValue /*t*/, Class_ID obtype) { return CanConvertToType(obtype) ? this : nullptr; }

Mesh* TriObject::GetRenderMesh(TimeValue /*t*/, INode* /*node*/, BOOL& needDelete) {
  needDelete = FALSE;
  return &mesh;
}

ReferenceTarget* TriObject::Clone(RemapDir& remap) {
  TriObject* copy = CreateNewTriObject();
  copy->mesh = mesh;
  copy->geomValid = geomValid;
  BaseClone(this, copy, remap);
  return copy;
}

TriObject* CreateNewTriObject() { return new TriObject(); }

void SimpleObject::UpdateMesh(TimeValue t) {
  if (!ivalid.InInterval(t)) BuildMesh(t);
}

ObjectState SimpleObject::Eval(TimeValue t) {
  UpdateMesh(t);
  return ObjectState(this);
}

Interval SimpleObject::ObjectValidity(TimeValue t) {
  UpdateMesh(t);
  return ivalid;
}

int SimpleObject::CanConvertToType(Class_ID obtype) { return obtype == triObjectClassID || obtype == defObjectClassID; }

Object* SimpleObject::ConvertToType(TimeValue t, Class_ID obtype) {
  if (obtype != triObjectClassID && obtype != defObjectClassID) return nullptr;
  UpdateMesh(t);
  TriObject* tri = CreateNewTriObject();
  tri->mesh = mesh;
  tri->geomValid = ObjectValidity(t);
  return tri;
}

Mesh* SimpleObject::GetRenderMesh(TimeValue t, INode* /*node*/, BOOL& needDelete) {
  UpdateMesh(t);
  needDelete = FALSE;
  return &mesh;
}

RefResult SimpleObject::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*target*/, PartID& /*partID*/,
                                         RefMessage message) {
  if (message == REFMSG_CHANGE) InvalidateMesh();
  return REF_SUCCEED;
}

void SimpleObject::BeginEditParams(IObjParam* /*ip*/, ULONG /*flags*/, Animatable* /*prev*/) {}
void SimpleObject::EndEditParams(IObjParam* /*ip*/, ULONG /*flags*/, Animatable* /*next*/) {}
