// GrassBundle: a tuft of blades growing from the object's origin, each turned, tilted, sized,
// stiffened, bent and arched by its own random share of ranges the user sets. The random values
// are drawn when the tuft is constructed and kept, so the tuft keeps its arrangement while its
// parameters are edited.
#pragma once
#include "blade/tuft_mesh.h"
#include "objects/grass_object.h"
#include "res/class_ids.h"
#include "sdk/parammap.h"

// The table of the tuft's parameter block (block id 0, parameters GrassBundleParam) for its
// descriptor; the plug-in's registry builds the ParamBlockDesc2 from it.
ParamBlockSpec GrassBundleBlockSpec(ClassDesc2* owner);

class GrassBundle : public GrassObject {
 public:
  // The host interface of the open panel, null while no tuft panel is open.
  static IObjParam* ip;

  // 200 values of rand() / 32767 drawn in the constructor, in index order; blade k uses entries
  // 7k to 7k + 6. Not saved and not cloned: a loaded or cloned tuft draws its own.
  float bladeRandoms[kTuftDraws] = {};

  // Builds the block with its defaults through the descriptor, then draws bladeRandoms.
  GrassBundle();
  ~GrassBundle() override;

  void GetClassName(MSTR& s) override;
  Class_ID ClassID() override { return kGrassBundleClassID; }
  ReferenceTarget* Clone(RemapDir& remap) override { return CloneAs<GrassBundle>(remap); }
  CreateMouseCallBack* GetCreateMouseCallBack() override;
  const MCHAR* GetObjectName() override;
  // "#blades" blades from the ranges at t, joined into one mesh with normals; "Min thiness" and
  // "Max thiness" are not read (every blade has thinning 1.25). The validity is left alone.
  void BuildMesh(TimeValue t) override;

 protected:
  IObjParam*& PanelInterface() override { return ip; }
};

// The tuft panel's procedure: the "Max height" field and spinner are enabled exactly when the
// "Max height?" box is checked, when the panel opens and whenever the box is
// clicked. Returns FALSE for every message, leaving the rest to the automatic panel.
class GrassBundleDlgProc : public ParamMap2UserDlgProc {
 public:
  INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The one static instance is never deleted.
  void DeleteThis() override {}
};

// The one instance all tuft panels use.
GrassBundleDlgProc& TheGrassBundleDlgProc();
