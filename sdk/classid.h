// Class identity: the two-part class id of every plug-in class and the super-class ids of its family.
#pragma once
#include <compare>

#include "sdk/platform.h"

using SClass_ID = ULONG;

// The unique id of a class: two 32-bit parts chosen by the class's author.
class Class_ID {
 public:
  constexpr Class_ID() = default;
  constexpr Class_ID(ULONG a, ULONG b) : a_(a), b_(b) {}
  constexpr ULONG PartA() const { return a_; }
  constexpr ULONG PartB() const { return b_; }
  constexpr void SetPartA(ULONG a) { a_ = a; }
  constexpr void SetPartB(ULONG b) { b_ = b; }
  constexpr auto operator<=>(const Class_ID&) const = default;

 private:
  ULONG a_ = 0xFFFFFFFF;
  ULONG b_ = 0xFFFFFFFF;
};

// Super-class ids: the family a class belongs to.
constexpr SClass_ID GEOMOBJECT_CLASS_ID = 0x10;
constexpr SClass_ID OSM_CLASS_ID = 0x810;  // object-space modifier
constexpr SClass_ID WSM_CLASS_ID = 0x820;  // world-space modifier
constexpr SClass_ID TEXMAP_CLASS_ID = 0xC10;
constexpr SClass_ID PARAMETER_BLOCK2_CLASS_ID = 0x82;
constexpr SClass_ID CTRL_MATRIX3_CLASS_ID = 0x9008;
constexpr SClass_ID REF_MAKER_CLASS_ID = 0x100;
constexpr SClass_ID REF_TARGET_CLASS_ID = 0x101;
constexpr SClass_ID BASENODE_CLASS_ID = 0x1;

// Class ids of the host's own classes.
constexpr ULONG TRIOBJ_CLASS_ID = 0x0009;
constexpr ULONG DEFOBJ_CLASS_ID = 0x000B;
constexpr ULONG PARAMBLOCK2_CLASS_ID = 0x0082;
constexpr ULONG NODE_CLASS_ID = 0x0001;
inline constexpr Class_ID triObjectClassID{TRIOBJ_CLASS_ID, 0};
inline constexpr Class_ID defObjectClassID{DEFOBJ_CLASS_ID, 0};
