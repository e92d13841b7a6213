#pragma once

#include "model/loading/ZqModelLoader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <msgpack.hpp>

class ZqModel;

// Reads the maps of one model file in one pass, with a parse loop of its own that calls
// the same handlers, in the same order, as msgpack-c's visitor parse: the bytes are never
// unpacked into a tree first. In an attributes file each model map's entries go
// through the class's code -> attribute table straight to the attributes: each entry of a
// nested attribute map goes to its attribute as it is parsed (ZqBaseAttribute::readEntry),
// and what the attribute does not read that way is collected in place (values built in
// one reused zone, strings left in the input) and handed to it at the map's end. Container headers are checked
// against the element budget of the bytes left (elementBudget) before anything is allocated,
// and nesting is bounded, exactly as unpackBounded does for the map road.
//
// A connections map is read the same way to its end, its entries (the id, the attributes'
// link maps, the children) collected without a tree of the whole map, then read by the
// loader's links reader.
//
// Both roads give the same models and the same errors: a map whose "Class Name" comes
// after its attributes is built whole in the zone and read by the loader's map road.
// Errors of the data's meaning are held until the map has been parsed to its end, so that
// a damaged byte later in the map is what is reported, as on the map road.
class ZqModelFileReader {
public:
    explicit ZqModelFileReader(ZqModelLoader& loader);
    ~ZqModelFileReader();
    ZqModelFileReader(const ZqModelFileReader&) = delete;
    ZqModelFileReader& operator=(const ZqModelFileReader&) = delete;

    // Reads the map at offset in data[0, size) (a map of a file of that kind) and moves
    // offset past it. False for a nil object, which ends the file. Throws what the map
    // road throws for the same bytes.
    bool readMap(const char* data, std::size_t size, std::size_t& offset, ZqModelLoader::FileKind kind);

private:
    class Visitor;

    ZqModelLoader& m_loader;
    std::unique_ptr<Visitor> m_visitor;
};
