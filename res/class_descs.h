// The plug-in's class descriptors, found by class id. Each descriptor registers itself while it
// lives (the plug-in's registry constructs the four; a test may construct its own), and the
// classes fetch theirs here to build their parameter blocks and open their panels.
#pragma once
#include "sdk/classdesc.h"

// A descriptor registered under its class id from construction to destruction.
class RegisteredClassDesc : public ClassDesc2 {
 public:
  explicit RegisteredClassDesc(Class_ID id);
  ~RegisteredClassDesc() override;
  RegisteredClassDesc(const RegisteredClassDesc&) = delete;
  RegisteredClassDesc& operator=(const RegisteredClassDesc&) = delete;

  Class_ID ClassID() override { return id_; }

 private:
  Class_ID id_;
};

// The descriptor registered for the class id, or null when none is.
ClassDesc2* FindClassDesc(Class_ID id);
