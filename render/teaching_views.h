// The teaching views: what the graph and texture windows can show beyond
// the finished noise. Every view is off at start, and with every view off
// both windows draw exactly what they drew before the views existed.
//
// The fields are ints because each is the live variable of a panel control
// (a check box, or the octave chooser's radio group and spinner).
#pragma once

// How the texture window picks its octaves.
enum OctaveView {
  kAllOctaves = 0,    // the whole fractal sum: the picture as it always was
  kOneOctave = 1,     // octave `octaveViewK` alone
  kFirstOctaves = 2,  // the running sum of the first `octaveViewK` octaves
};

struct TeachingViews {
  int octaves = 0;      // graph: each octave's term and the running sum
  int derivatives = 0;  // graph: f' (and f'' under the quintic blend)
  int lattice = 0;      // texture: cell lines and gradient arrows
  int probe = 0;        // texture: the breakdown of the texel at the pointer
  int stats = 0;        // both: the value under the pointer; texture min, max, mean
  int octaveView = kAllOctaves;  // OctaveView
  int octaveViewK = 1;           // 1..8, the octave (or count) octaveView picks
};

// True when no view changes either window.
inline bool NoViews(const TeachingViews& v) {
  return !v.octaves && !v.derivatives && !v.lattice && !v.probe && !v.stats &&
         v.octaveView == kAllOctaves;
}
