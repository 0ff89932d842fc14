// An opaque texture handle: scene objects store and copy it, nothing draws with it.
#pragma once

class texture;
