#include "app/face_runs.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/parallel.h"

namespace {

constexpr std::int64_t kNoneBelow = -1;                                        // the largest index of no face
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
  if (nf <= target) return {{0, nf}};
  // Faces in chunks of 256 and blocks of about `target` faces (whole chunks).
  constexpr std::size_t kChunk = 256;
  const std::size_t chunks = (nf + kChunk - 1) / kChunk, perBlock = std::max<std::size_t>(target / kChunk, 1);
  const std::size_t blocks = (chunks + perBlock - 1) / perBlock;
  const auto faceBegin = [&](std::size_t chunk) { return std::min(nf, chunk * kChunk); };

  // Each chunk's vertex span, one pass over the faces.
  std::vector<Span> chunk(chunks);
  ParallelFor(threads, blocks, [&](std::size_t b) {
    for (std::size_t c = b * perBlock; c < std::min(chunks, (b + 1) * perBlock); ++c) {
      Span s;
      for (std::size_t f = faceBegin(c); f < faceBegin(c + 1); ++f) {
        const Span fs = FaceSpan(mesh, f);
        s.lo = std::min(s.lo, fs.lo);
        s.hi = std::max(s.hi, fs.hi);
      }
      chunk[c] = s;
    }
  });
  // highestBefore[c]: the highest vertex of the faces before chunk c; lowestFrom[c]: the lowest
  // vertex of the faces from chunk c on.
  std::vector<std::int64_t> highestBefore(chunks + 1, kNoneBelow), lowestFrom(chunks + 1, kNoneAbove);
  for (std::size_t c = 0; c < chunks; ++c) highestBefore[c + 1] = std::max(highestBefore[c], chunk[c].hi);
  for (std::size_t c = chunks; c-- > 0;) lowestFrom[c] = std::min(lowestFrom[c + 1], chunk[c].lo);

  // A run may start at face f when every face before f uses only vertices below every vertex the
  // faces from f on use. Each block looks for the first such face in it, chunk by chunk: usually in
  // its first chunk, so only that chunk is read again.
  constexpr std::size_t kNoCut = std::numeric_limits<std::size_t>::max();
  std::vector<std::size_t> cut(blocks, kNoCut);
  cut[0] = 0;
  ParallelFor(threads, blocks - 1, [&](std::size_t i) {
    const std::size_t b = i + 1;
    std::int64_t lowestAfter[kChunk + 1];
    for (std::size_t c = b * perBlock; c < std::min(chunks, (b + 1) * perBlock); ++c) {
      const std::size_t begin = faceBegin(c), end = faceBegin(c + 1);
      if (highestBefore[c] < lowestFrom[c]) {
        cut[b] = begin;
        return;
      }
      // A cut inside the chunk needs the faces before it to end below the faces after it.
      if (!(highestBefore[c] < lowestFrom[c + 1])) continue;
      lowestAfter[end - begin] = lowestFrom[c + 1];
      for (std::size_t f = end; f-- > begin;)
        lowestAfter[f - begin] = std::min(lowestAfter[f - begin + 1], FaceSpan(mesh, f).lo);
      std::int64_t highest = highestBefore[c];
      for (std::size_t f = begin; f < end; ++f) {
        if (highest < lowestAfter[f - begin]) {
          cut[b] = f;
          return;
        }
        highest = std::max(highest, FaceSpan(mesh, f).hi);
      }
    }
  });

  std::vector<FaceRun> runs;
  for (std::size_t b = 0; b < blocks; ++b) {
    if (cut[b] == kNoCut) continue;
    if (!runs.empty()) runs.back().end = cut[b];
    runs.push_back({cut[b], nf});
  }
  return runs;
}
