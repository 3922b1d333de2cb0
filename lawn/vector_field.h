// The shared 2-D vector field that bends lawn blades: a grid of 3-component vectors in depth slices
// and time frames, read from a ".dat" description and its raw data files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sdk/geom.h"
#include "sdk/time.h"

// A grid of vectors, x fastest, then y, then the depth slice, then the frame.
class GPUVectorField2D {
 public:
  GPUVectorField2D() = default;
  virtual ~GPUVectorField2D() = default;

  // Reads a description file and then its data. False only when the description cannot be opened
  // or reading it fails (then "Error: could not read from file <path>" goes to standard output); a
  // readable description that yields no data loads as true with the field empty.
  bool Load(const std::string& descriptionPath);
  // Replaces the vectors by the data of directory + fileName; for a time-dependent field fileName is a
  // pattern of at most one integer conversion formatted with each frame number (the directory is taken as
  // it is). False, with no data held, when the grid cannot be allocated or the pattern is not
  // acceptable; also, with the reason in *refusal, when the field is more than the process can hold
  // or a data file lies outside the directory's folder while the host does not allow that. Missing
  // or short files leave (the rest of) their frame at zero.
  bool ReadData(const std::string& directory, const std::string& fileName, std::string* refusal = nullptr);
  // Reads one frame of 32-bit little-endian floats; true when the whole frame was there.
  bool ReadFloatFrame(const std::string& path, float* destination) const;
  // Reads one frame of bytes into the staging buffer; true when the whole frame was there. *got is
  // how many bytes were read.
  bool ReadByteFrame(const std::string& path, std::size_t* got);

  // Whether a lawn can sample the field.
  bool HasData() const { return !vectors.empty(); }

  // The cell under a blade in column ix, row iy of an nx x ny lawn grid.
  void CellForBlade(int ix, int iy, float nx, float ny, std::uint32_t* i, std::uint32_t* j) const;
  // The depth slice for scene time t: the middle slice, or the frame number clamped when the lawn
  // uses z as time.
  std::uint32_t SliceForTime(TimeValue t, bool zAsTime) const;
  // The frame slot for scene time t (0 for a field that is not time-dependent).
  int FrameForTime(TimeValue t) const;
  // The vector of one cell (nearest cell, no interpolation); zero outside the grid.
  Point3 SampleCell(std::uint32_t i, std::uint32_t j, std::uint32_t slice, int frame) const;

  std::vector<float> vectors;
  std::vector<std::uint8_t> staging;  // raw bytes of byte-format data while they are converted
  int floatFormat = 0;
  bool timeDependent = false;
  int firstFrame = 0;
  int lastFrame = 0;
  int frameCount = 0;
  std::uint32_t resolutionX = 0;
  std::uint32_t resolutionY = 0;
  std::uint32_t resolutionZ = 0;

 private:
  // Floats in one frame, or 0 when the grid is empty or too large.
  std::size_t FrameFloats() const;
};

// The rotation that bends a blade by vector v: about v's direction by |v| * pi / 2.
Matrix3 BendMatrix(const Point3& v);

// Formats a data-file name pattern with frame f. Accepts only patterns holding at most one integer
// conversion (d, i, o, u, x or X, with flags, width and precision up to 4096 and a length modifier
// hh, h, l, ll, j, z or t) and any "%%"; returns false for anything else.
bool FormatFramePattern(const std::string& pattern, int f, std::string* out);

// The one process-wide field shared by every lawn; null until the first load.
extern GPUVectorField2D* TheVectorField;

// TheVectorField, created (empty) when it does not exist yet; null only when it cannot be allocated.
GPUVectorField2D* GetOrCreateVectorField();
