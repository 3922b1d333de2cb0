// What both lawn builders take the same way: the grid and its rectangle, the jitter, the maps and
// the vector field of one build, and how many threads may write the mesh.
#pragma once
#include <cmath>
#include <cstdint>

#include "lawn/lawn_writer.h"
#include "lawn/vector_field.h"
#include "sdk/bitmap.h"

// Switches already applied: jitter 0 when off, maps and field null when not in use.
struct LawnGridSettings {
  float nx = 20.0f, ny = 20.0f;          // grid counts (fractions size the arrays, not the grid)
  float length = 1.0f, width = 1.0f;     // the rectangle, centred on the origin
  float jitterX = 0.5f, jitterY = 0.5f;  // position variance, fractions of a cell
  const Bitmap* heightMap = nullptr;     // filtered, or null
  float magnitude = 1.0f;
  const Bitmap* probabilityMap = nullptr;   // filtered, or null
  const GPUVectorField2D* field = nullptr;  // holding data, or null
  std::uint32_t slice = 0;
  int frame = 0;
  int threads = 0;  // 1: one thread; 2 or more: the faces get a worker of
                    // their own; 0: a worker for large lawns when the
                    // machine has a second hardware thread

  // The field as the mesh writer applies it.
  LawnBend Bend() const { return {field, nx, ny, slice, frame}; }
};

// The grid as both builders walk it: trunc(nx) columns (outer, along X) and trunc(ny) rows, from the
// rectangle's corner (-length / 2, -width / 2) in steps of length / nx and width / ny (divided by
// the float counts, so a fractional count leaves part of the rectangle empty), and the jitter spans.
struct LawnGrid {
  explicit LawnGrid(const LawnGridSettings& s)
      : columns(s.nx >= 1.0f ? static_cast<int>(s.nx) : 0),
        rows(s.ny >= 1.0f ? static_cast<int>(s.ny) : 0),
        firstX(-(s.length * 0.5f)),
        firstY(-(s.width * 0.5f)),
        stepX(s.length / s.nx),
        stepY(s.width / s.ny),
        jitterSpanX(std::fabs(stepX) * s.jitterX),
        jitterSpanY(std::fabs(stepY) * s.jitterY) {}
  int columns, rows;
  float firstX, firstY;            // the first column's x and the first row's y
  float stepX, stepY;              // the steps, added once per column and once per row
  float jitterSpanX, jitterSpanY;  // an element lies within half a span of its grid point
};
