#include <zlib.h>

#include <cstdint>
#include <utility>
#include <string>
#include <vector>

#include "io/ResultsExport.h"
#include "io/VtuArrays.h"

namespace qor {
namespace {

constexpr std::size_t kBlockBytes = 1 << 20;

// The appended arrays of a file and the XML around them. The arrays are
// compressed together at the end, their blocks on every core, and each
// declaration then gets its offset.
class AppendedArrays {
 public:
  // Declares an array (format="appended") after the XML written so far, which it takes, and keeps a copy of its bytes.
  void Add(std::string& xml, const char* type, const char* name, int components, const void* data, std::size_t bytes) {
    xml += "        <DataArray type=\"";
    xml += type;
    xml += '"';
    if (name) {
      xml += " Name=\"";
      xml += name;
      xml += '"';
    }
    if (components > 1) xml += " NumberOfComponents=\"" + std::to_string(components) + '"';
    xml += " format=\"appended\" offset=\"";
    const auto* first = static_cast<const unsigned char*>(data);
    arrays_.push_back(Array{std::move(xml), std::vector<unsigned char>(first, first + bytes), {}, {}});
    xml.clear();
  }

  // The whole file: the declarations with their offsets, `tail` (the XML up to the appended data), the data and
  // the closing tags.
  std::string Render(const std::string& tail) {
    Compress();
    std::string file;
    std::size_t offset = 0;
    for (const Array& array : arrays_) {
      file += array.before;
      file += std::to_string(offset) + "\"/>\n";
      offset += array.header.size() * sizeof(std::uint64_t);
      for (const std::vector<unsigned char>& block : array.packed) offset += block.size();
    }
    file += tail;
    file.reserve(file.size() + offset + 32);
    for (const Array& array : arrays_) {
      file.append(reinterpret_cast<const char*>(array.header.data()), array.header.size() * sizeof(std::uint64_t));
      for (const std::vector<unsigned char>& block : array.packed)
        file.append(reinterpret_cast<const char*>(block.data()), block.size());
    }
    file += "\n  </AppendedData>\n</VTKFile>\n";
    return file;
  }

 private:
  struct Array {
    std::string before;  // the XML before the array's offset
    std::vector<unsigned char> bytes;
    // VTK's zlib layout: block count, block size, size of the last block when
    // it is partial (else 0), each block's compressed size, then the blocks.
    std::vector<std::uint64_t> header;
    std::vector<std::vector<unsigned char>> packed;
  };

  void Compress() {
    std::vector<std::pair<std::size_t, std::size_t>> blocks;  // (array, block)
    for (std::size_t i = 0; i < arrays_.size(); ++i) {
      Array& array = arrays_[i];
      const std::size_t bytes = array.bytes.size(), count = (bytes + kBlockBytes - 1) / kBlockBytes;
      array.header = {count, kBlockBytes, bytes % kBlockBytes};
      array.header.resize(3 + count);
      array.packed.resize(count);
      for (std::size_t b = 0; b < count; ++b) blocks.emplace_back(i, b);
    }
#pragma omp parallel for schedule(dynamic, 1)
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      Array& array = arrays_[blocks[k].first];
      const std::size_t b = blocks[k].second, from = b * kBlockBytes;
      const std::size_t size = std::min(kBlockBytes, array.bytes.size() - from);
      std::vector<unsigned char>& packed = array.packed[b];
      packed.resize(compressBound(static_cast<uLong>(size)));
      uLongf packedSize = static_cast<uLongf>(packed.size());
      // The fastest level: the arrays of a large model compress to a third in
      // a fraction of the time the default level takes.
      compress2(packed.data(), &packedSize, array.bytes.data() + from, static_cast<uLong>(size), 1);
      packed.resize(packedSize);
      array.header[3 + b] = packedSize;
    }
  }

  std::vector<Array> arrays_;
};

}  // namespace

std::string ResultsVtuBinary(const SolidModel& model, const SolidResults& results) {
  const std::size_t nodes = static_cast<std::size_t>(model.NodeCount());
  const std::size_t elements = static_cast<std::size_t>(model.ElementCount());
  AppendedArrays arrays;
  std::string xml;
  xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml +=
      "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" header_type=\"UInt64\""
      " compressor=\"vtkZLibDataCompressor\">\n";
  xml += "  <UnstructuredGrid>\n    <Piece NumberOfPoints=\"" + std::to_string(nodes) + "\" NumberOfCells=\"" +
         std::to_string(elements) + "\">\n";

  xml += "      <PointData Vectors=\"Przemieszczenie\">\n";
  arrays.Add(xml, "Float32", "Przemieszczenie", 3, results.Displacements.data() + 1, 3 * nodes * sizeof(float));
  xml += "      </PointData>\n";

  xml += "      <CellData Scalars=\"Naprężenie red.\">\n";
  {
    std::vector<float> column(elements);
    for (const VtuStressArray& array : VtuStressArrays) {
      for (std::size_t e = 0; e < elements; ++e) column[e] = results.Stresses[e + 1][array.kind];
      arrays.Add(xml, "Float32", array.name, 1, column.data(), elements * sizeof(float));
    }
    std::vector<std::int32_t> material(elements);
    for (std::size_t e = 0; e < elements; ++e) material[e] = model.Elements[e + 1].material;
    arrays.Add(xml, "Int32", "Materiał", 1, material.data(), elements * sizeof(std::int32_t));
  }
  xml += "      </CellData>\n";

  xml += "      <Points>\n";
  static_assert(sizeof(NodeRow) == 3 * sizeof(float));
  arrays.Add(xml, "Float32", nullptr, 3, model.Nodes.data() + 1, nodes * sizeof(NodeRow));
  xml += "      </Points>\n";

  // VTK numbers points from 0; its linear tetrahedron is cell type 10.
  xml += "      <Cells>\n";
  {
    std::vector<std::int64_t> connectivity(4 * elements), offsets(elements);
    for (std::size_t e = 0; e < elements; ++e) {
      for (int a = 0; a < 4; ++a) connectivity[4 * e + a] = model.Elements[e + 1].node[a + 1] - 1;
      offsets[e] = static_cast<std::int64_t>(4 * (e + 1));
    }
    arrays.Add(xml, "Int64", "connectivity", 1, connectivity.data(), connectivity.size() * sizeof(std::int64_t));
    arrays.Add(xml, "Int64", "offsets", 1, offsets.data(), offsets.size() * sizeof(std::int64_t));
    const std::vector<std::uint8_t> types(elements, 10);
    arrays.Add(xml, "UInt8", "types", 1, types.data(), types.size());
  }
  xml += "      </Cells>\n";
  xml += "    </Piece>\n  </UnstructuredGrid>\n  <AppendedData encoding=\"raw\">\n    _";
  return arrays.Render(xml);
}

}  // namespace qor
