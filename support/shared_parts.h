// The parts a composite object builds — a hidden guide and the pieces hung under it — are shared
// by the object and all its clones. They are released once, when the last holder goes; while
// others remain, a guide hung from a departing holder is re-hung from one still alive.
#pragma once

#include "support/object3d.h"

#include <cstddef>
#include <vector>

class sharedParts {
  public:
    sharedParts(object3D* firstHolder, object3D* guide);
    ~sharedParts();
    sharedParts(const sharedParts&) = delete;
    sharedParts& operator=(const sharedParts&) = delete;

    // Pieces are deleted in reverse order of adoption, then the pointer arrays, then the guide.
    void adopt(object3D* piece) { pieces.push_back(piece); }
    void adoptArray(object3D** array) { arrays.push_back(array); }
    void join(object3D* holder) { holders.push_back(holder); }
    void leave(object3D* holder);
    size_t holderCount() const { return holders.size(); }

  private:
    object3D* guide;
    std::vector<object3D*> pieces;
    std::vector<object3D**> arrays;
    std::vector<object3D*> holders;
};
