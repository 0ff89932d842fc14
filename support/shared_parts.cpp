// Release of the parts shared by a composite object and its clones.
#include "support/shared_parts.h"

#include <algorithm>

sharedParts::sharedParts(object3D* firstHolder, object3D* theGuide) : guide(theGuide) {
    holders.push_back(firstHolder);
}

sharedParts::~sharedParts() {
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        delete *piece;
    }
    for (object3D** array : arrays) {
        delete[] array;
    }
    delete guide;
}

void sharedParts::leave(object3D* holder) {
    auto found = std::find(holders.begin(), holders.end(), holder);
    if (found != holders.end()) {
        holders.erase(found);
    }
    if (guide->getParent() == holder && !holders.empty()) {
        guide->setParent(holders.front());
    }
}
