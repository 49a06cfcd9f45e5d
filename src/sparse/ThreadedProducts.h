#pragma once

#include <cstdint>
#include <vector>

namespace qor {

// Matrix products on every core of a process, for an iterative solve: a
// product is bound by memory traffic, which the threads share.

// The kernels of the products by symmetric blocks: plain arithmetic for
// every processor, and AVX2 with fused multiply-adds where it exists (their
// sums differ in rounding only).
enum class ProductKernel { Plain, Avx2Fma };
bool ProductKernelAvailable(ProductKernel kernel);
/// The fastest kernel of this processor, or the plain one when the environment sets QOR3D_PRODUCTS=plain.
ProductKernel DispatchedProductKernel();

// A symmetric matrix of 3×3 blocks kept as its upper triangle, for the
// products of an iterative solve. The products read about
// half of what a general sparse matrix of the same rows reads: each
// off-diagonal block serves its row and, transposed, its column.
class SymmetricBlocks {
 public:
  /// From a square matrix of scalar rows in compressed form (row starts,
  /// columns ascending, values) whose every row triple 3I..3I+2 has the same
  /// columns, in whole triples 3J..3J+2. False for any other structure or a
  /// matrix that is not symmetric to the last bit (the object is then not to
  /// be multiplied by).
  bool Build(std::int64_t rows, const std::int64_t* rowStart, const std::int32_t* columns, const double* values);

  /// y = A·x, on `threads` threads (at least one), by the dispatched kernel or by `kernel` (the plain one when the
  /// processor lacks it).
  void Multiply(const double* x, double* y, int threads) const;
  void Multiply(const double* x, double* y, int threads, ProductKernel kernel) const;

  std::int64_t BlockRows() const { return static_cast<std::int64_t>(start_.size()) - 1; }

 private:
  // Block row I holds its diagonal block first, then the blocks right of it;
  // each block's nine values row by row.
  std::vector<std::int64_t> start_;
  std::vector<std::int32_t> column_;
  std::vector<double> value_;
  // Each thread's first block row and the end of the rows its transposed
  // blocks reach, for threads of one partition (rebuilt when the count changes).
  mutable std::vector<std::int64_t> firstRow_, reach_;
  mutable std::vector<std::vector<double>> partial_;

  void Partition(int threads) const;
};

// A view of a general sparse matrix in compressed rows, kept by its owner
// (the arrays must outlive the view), with products by it and by its
// transpose.
class CompressedRows {
 public:
  CompressedRows(std::int32_t rows, std::int32_t columns, const std::int32_t* rowStart, const std::int32_t* column,
                 const double* value, int threads);

  /// y = A·x, or y = A·x + z when z is given (z may be y).
  void Multiply(const double* x, double* y, const double* z = nullptr) const;
  /// y = Aᵀ·x, or y = Aᵀ·x + z when z is given (z may be y).
  void MultiplyTransposed(const double* x, double* y, const double* z = nullptr) const;

 private:
  std::int32_t rows_, columns_;
  const std::int32_t* rowStart_;
  const std::int32_t* column_;
  const double* value_;
  std::vector<std::int32_t> firstRow_;  // each thread's first row, by equal counts of entries
  mutable std::vector<std::vector<double>> partial_;  // each thread's share of a transposed product
};

}  // namespace qor
