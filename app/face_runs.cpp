#include "app/face_runs.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/parallel.h"

namespace {

constexpr std::int64_t kNoneBelow = -1;                                  // the largest index of no face
constexpr std::int64_t kNoneAbove = std::numeric_limits<std::int64_t>::max();  // the smallest

// The lowest and highest vertex a face uses; a face naming a missing vertex uses none.
struct Span {
  std::int64_t lo = kNoneAbove, hi = kNoneBelow;
};

Span FaceSpan(const Mesh& mesh, std::size_t f) {
  if (!HasValidVerts(mesh, f)) return {};
  const DWORD* v = mesh.faces[f].v;
  return {std::min({v[0], v[1], v[2]}), std::max({v[0], v[1], v[2]})};
}

}  // namespace

std::vector<FaceRun> IndependentFaceRuns(const Mesh& mesh, std::size_t target, int threads) {
  const std::size_t nf = mesh.faces.size();
  if (nf == 0) return {};
  target = std::max<std::size_t>(target, 1);
  const std::size_t blocks = (nf + target - 1) / target;
  const auto blockBegin = [&](std::size_t b) { return b * target; };
  const auto blockEnd = [&](std::size_t b) { return std::min(nf, (b + 1) * target); };

  // Each block's vertex span.
  std::vector<Span> block(blocks);
  ParallelFor(threads, blocks, [&](std::size_t b) {
    Span s;
    for (std::size_t f = blockBegin(b); f < blockEnd(b); ++f) {
      const Span fs = FaceSpan(mesh, f);
      s.lo = std::min(s.lo, fs.lo);
      s.hi = std::max(s.hi, fs.hi);
    }
    block[b] = s;
  });
  // highestBefore[b]: the highest vertex of the faces before block b; lowestFrom[b]: the lowest
  // vertex of the faces from block b on.
  std::vector<std::int64_t> highestBefore(blocks + 1, kNoneBelow), lowestFrom(blocks + 1, kNoneAbove);
  for (std::size_t b = 0; b < blocks; ++b) highestBefore[b + 1] = std::max(highestBefore[b], block[b].hi);
  for (std::size_t b = blocks; b-- > 0;) lowestFrom[b] = std::min(lowestFrom[b + 1], block[b].lo);

  // A run may start at face f when every face before f uses only vertices below every vertex the
  // faces from f on use. Each block looks for the first such face in it.
  constexpr std::size_t kNoCut = std::numeric_limits<std::size_t>::max();
  std::vector<std::size_t> cut(blocks, kNoCut);
  cut[0] = 0;
  ParallelFor(threads, blocks - 1, [&](std::size_t i) {
    const std::size_t b = i + 1, begin = blockBegin(b), end = blockEnd(b);
    std::vector<std::int64_t> lowestAfter(end - begin + 1);
    lowestAfter[end - begin] = lowestFrom[b + 1];
    for (std::size_t f = end; f-- > begin;)
      lowestAfter[f - begin] = std::min(lowestAfter[f - begin + 1], FaceSpan(mesh, f).lo);
    std::int64_t highest = highestBefore[b];
    for (std::size_t f = begin; f < end; ++f) {
      if (highest < lowestAfter[f - begin]) {
        cut[b] = f;
        return;
      }
      highest = std::max(highest, FaceSpan(mesh, f).hi);
    }
  });

  std::vector<FaceRun> runs;
  for (std::size_t b = 0; b < blocks; ++b) {
    if (cut[b] == kNoCut || (b > 0 && cut[b] == runs.back().begin)) continue;
    if (!runs.empty()) runs.back().end = cut[b];
    runs.push_back({cut[b], nf});
  }
  return runs;
}
