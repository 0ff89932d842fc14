// Display lists record geometry (glBegin/glEnd, vertices, normals, colours; rectangles as
// polygons); other calls made while recording take effect at once. A list of filled polygons
// whose every vertex has a normal (and a colour, if the list gives colours at all) is uploaded
// once at glEndList and replayed from its buffer with the model-view and material of the call;
// any other list, or any list in wireframe, is replayed through immediate mode.
#include "web/gl/context.h"
#include "web/gl/polygons.h"

namespace lfgl {

namespace {

void addTriangles(ListGeometry& g, uint32_t first, const uint32_t* corners, int n) {
    static const int kTriangle[3] = {0, 1, 2};
    const int* order = n == 3 ? kTriangle : kListQuadTriangles;
    for (int k = 0; k < (n == 3 ? 3 : 6); ++k) {
        g.triangles.push_back(first + corners[order[k]]);
    }
}

// The list's geometry in object coordinates; false when it cannot be replayed from a buffer.
bool buildGeometry(const std::vector<ListCommand>& commands, ListGeometry& g) {
    bool haveNormal = false, haveColour = false, anyColour = false;
    StreamVertex v{};
    GLenum mode = 0;
    uint32_t first = 0;
    for (const ListCommand& c : commands) {
        switch (c.op) {
        case ListCommand::Begin:
            if (c.mode == GL_POINTS) {
                return false;
            }
            mode = c.mode;
            first = uint32_t(g.vertices.size());
            break;
        case ListCommand::Normal:
            haveNormal = true;
            for (int i = 0; i < 3; ++i) {
                v.normal[i] = c.v[i];
            }
            break;
        case ListCommand::Colour:
            haveColour = anyColour = true;
            for (int i = 0; i < 4; ++i) {
                v.colour[i] = c.v[i] < 0 ? 0 : (c.v[i] > 1 ? 1 : c.v[i]);
            }
            break;
        case ListCommand::Vertex:
            if (!haveNormal || anyColour != haveColour) {
                return false; // it would need the normal or colour current at replay time
            }
            for (int i = 0; i < 3; ++i) {
                v.position[i] = c.v[i];
            }
            g.vertices.push_back(v);
            break;
        case ListCommand::End:
            forEachPolygon(mode, uint32_t(g.vertices.size()) - first,
                           [&](const uint32_t* corners, int n) { addTriangles(g, first, corners, n); });
            break;
        }
    }
    g.hasColours = anyColour;
    return true;
}

} // namespace

GLuint Context::genLists(GLsizei range) {
    if (range < 0) {
        error(GL_INVALID_VALUE);
        return 0;
    }
    if (range == 0) {
        return 0;
    }
    const GLuint first = nextListName;
    nextListName += GLuint(range);
    return first;
}

void Context::newList(GLuint list, GLenum mode) {
    if (list == 0) {
        error(GL_INVALID_VALUE);
        return;
    }
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
        error(GL_INVALID_ENUM);
        return;
    }
    if (recording != 0) {
        error(GL_INVALID_OPERATION);
        return;
    }
    recording = list;
    executeWhileRecording = mode == GL_COMPILE_AND_EXECUTE;
    recorded = DisplayList();
}

void Context::record(const ListCommand& c) {
    recorded.commands.push_back(c);
    if (c.op == ListCommand::Normal) {
        recorded.setsNormal = true;
        recorded.lastNormal = Vec3{c.v[0], c.v[1], c.v[2]};
    } else if (c.op == ListCommand::Colour) {
        recorded.setsColour = true;
        recorded.lastColour = Rgba{{c.v[0], c.v[1], c.v[2], c.v[3]}};
    }
}

void Context::endList() {
    if (recording == 0) {
        error(GL_INVALID_OPERATION);
        return;
    }
    const GLuint name = recording;
    recording = 0;
    DisplayList& list = lists[name] = recorded;
    storeOnGpu(name, list);
}

void Context::storeOnGpu(GLuint name, DisplayList& list) {
    ListGeometry geometry;
    list.onGpu = buildGeometry(list.commands, geometry) && !geometry.triangles.empty();
    if (list.onGpu) {
        renderer.storeList(name, geometry);
    } else {
        renderer.forgetList(name);
    }
}

void Context::callList(GLuint name) {
    auto found = lists.find(name);
    if (found == lists.end()) {
        return; // GL ignores lists that do not exist
    }
    const DisplayList& list = found->second;
    if (recording == 0 && list.onGpu && state.polygonMode == GL_FILL && !inBegin) {
        ListReplay r;
        r.list = name;
        r.modelView = modelView();
        r.normals = normalMatrix(modelView());
        r.normalize = state.normalize;
        r.current = attributes();
        stream.addReplay(drawStateFor(state, projection(), Shape::Triangles, Kind::Geometry), r);
        stateChanged(); // the next primitive needs a stream batch of its own
        if (list.setsNormal) {
            const float n[3] = {list.lastNormal.x, list.lastNormal.y, list.lastNormal.z};
            normal(n);
        }
        if (list.setsColour) {
            colour(list.lastColour.v[0], list.lastColour.v[1], list.lastColour.v[2],
                   list.lastColour.v[3]);
        }
        return;
    }
    replayCommands(list);
}

void Context::replayCommands(const DisplayList& list) {
    for (const ListCommand& c : list.commands) {
        switch (c.op) {
        case ListCommand::Begin:
            begin(c.mode);
            break;
        case ListCommand::End:
            end();
            break;
        case ListCommand::Vertex:
            vertex(c.v);
            break;
        case ListCommand::Normal:
            normal(c.v);
            break;
        case ListCommand::Colour:
            colour(c.v[0], c.v[1], c.v[2], c.v[3]);
            break;
        }
    }
}

void Context::deleteLists(GLuint first, GLsizei range) {
    if (range < 0) {
        error(GL_INVALID_VALUE);
        return;
    }
    for (GLuint name = first; name < first + GLuint(range); ++name) {
        if (lists.erase(name) != 0) {
            renderer.forgetList(name);
        }
    }
}

} // namespace lfgl
