#include "sparse/ThreadedProducts.h"

#include <immintrin.h>
#include <omp.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace qor {

bool SymmetricBlocks::Build(std::int64_t rows, const std::int64_t* rowStart, const std::int32_t* columns,
                            const double* values) {
  start_.clear();
  column_.clear();
  value_.clear();
  firstRow_.clear();
  if (rows % 3 != 0) return false;
  const std::int64_t blockRows = rows / 3;
  // The structure: the three rows of a block row alike, their columns whole triples.
  for (std::int64_t I = 0; I < blockRows; ++I) {
    const std::int64_t r = 3 * I, count = rowStart[r + 1] - rowStart[r];
    if (count % 3 != 0) return false;
    for (int a = 1; a < 3; ++a)
      if (rowStart[r + a + 1] - rowStart[r + a] != count ||
          !std::equal(columns + rowStart[r], columns + rowStart[r + 1], columns + rowStart[r + a]))
        return false;
    for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; p += 3)
      if (columns[p] % 3 != 0 || columns[p + 1] != columns[p] + 1 || columns[p + 2] != columns[p] + 2) return false;
  }
  // The blocks on and right of the diagonal; those left of it must mirror them exactly.
  start_.assign(static_cast<std::size_t>(blockRows) + 1, 0);
  for (std::int64_t I = 0; I < blockRows; ++I) {
    const std::int32_t* begin = columns + rowStart[3 * I];
    const std::int32_t* end = columns + rowStart[3 * I + 1];
    const std::int32_t* diagonal = std::lower_bound(begin, end, static_cast<std::int32_t>(3 * I));
    if (diagonal == end || *diagonal != 3 * I) return false;
    start_[I + 1] = start_[I] + (end - diagonal) / 3;
  }
  column_.resize(static_cast<std::size_t>(start_[blockRows]));
  value_.assign(9 * column_.size() + 1, 0.0);
  std::int64_t mirrored = 0;  // blocks left of the diagonal found mirrored: one for each block right of it
  for (std::int64_t I = 0; I < blockRows; ++I) {
    const std::int64_t r = 3 * I;
    std::int64_t q = start_[I];
    for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; p += 3) {
      const std::int32_t J = columns[p] / 3;
      if (J < I) {
        // Block (J, I) is already stored: row J's blocks right of its diagonal.
        const auto first = column_.begin() + start_[J], last = column_.begin() + start_[J + 1];
        const auto at = std::lower_bound(first + 1, last, static_cast<std::int32_t>(I));
        if (at == last || *at != I) return false;
        const double* mirror = value_.data() + 9 * (at - column_.begin());
        for (int a = 0; a < 3; ++a)
          for (int b = 0; b < 3; ++b)
            if (values[rowStart[r + a] + (p - rowStart[r]) + b] != mirror[3 * b + a]) return false;
        ++mirrored;
        continue;
      }
      column_[q] = J;
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) value_[9 * q + 3 * a + b] = values[rowStart[r + a] + (p - rowStart[r]) + b];
      ++q;
    }
  }
  if (mirrored != start_[blockRows] - blockRows) return false;
  for (std::int64_t I = 0; I < blockRows; ++I) {
    const double* d = value_.data() + 9 * start_[I];
    if (d[1] != d[3] || d[2] != d[6] || d[5] != d[7]) return false;
  }
  return true;
}

// Block rows split into runs of about equal block counts, one per thread.
void SymmetricBlocks::Partition(int threads) const {
  const std::int64_t rows = BlockRows(), blocks = start_[rows];
  firstRow_.assign(static_cast<std::size_t>(threads) + 1, rows);
  reach_.assign(static_cast<std::size_t>(threads), 0);
  partial_.assign(static_cast<std::size_t>(threads), {});
  firstRow_[0] = 0;
  for (int t = 1; t < threads; ++t)
    firstRow_[t] = std::upper_bound(start_.begin(), start_.end(), blocks * t / threads) - start_.begin() - 1;
  for (int t = 0; t < threads; ++t) {
    std::int64_t reach = firstRow_[t + 1];
    for (std::int64_t I = firstRow_[t]; I < firstRow_[t + 1]; ++I)
      if (start_[I + 1] > start_[I]) reach = std::max<std::int64_t>(reach, column_[start_[I + 1] - 1] + 1);
    reach_[t] = reach;
    partial_[t].resize(static_cast<std::size_t>(4 * (reach - firstRow_[t])));
  }
}

namespace {

// One thread's share of a product by symmetric blocks: its block rows
// first .. end - 1 and the transposed blocks right of their diagonals, summed
// into `part`, four numbers a block row (the fourth unused) from row `first`.
struct BlockArrays {
  const std::int64_t* start;
  const std::int32_t* column;
  const double* value;  // followed by one unused number, so that a block's last row may be read four wide
};

void RowsPlain(const BlockArrays& m, std::int64_t first, std::int64_t end, const double* x, double* part) {
  for (std::int64_t I = first; I < end; ++I) {
    const double* xi = x + 3 * I;
    const double* d = m.value + 9 * m.start[I];
    double a0 = d[0] * xi[0] + d[1] * xi[1] + d[2] * xi[2];
    double a1 = d[3] * xi[0] + d[4] * xi[1] + d[5] * xi[2];
    double a2 = d[6] * xi[0] + d[7] * xi[1] + d[8] * xi[2];
    for (std::int64_t q = m.start[I] + 1; q < m.start[I + 1]; ++q) {
      const double* v = m.value + 9 * q;
      const double* xj = x + 3 * static_cast<std::int64_t>(m.column[q]);
      a0 += v[0] * xj[0] + v[1] * xj[1] + v[2] * xj[2];
      a1 += v[3] * xj[0] + v[4] * xj[1] + v[5] * xj[2];
      a2 += v[6] * xj[0] + v[7] * xj[1] + v[8] * xj[2];
      double* pj = part + 4 * (m.column[q] - first);
      pj[0] += v[0] * xi[0] + v[3] * xi[1] + v[6] * xi[2];
      pj[1] += v[1] * xi[0] + v[4] * xi[1] + v[7] * xi[2];
      pj[2] += v[2] * xi[0] + v[5] * xi[1] + v[8] * xi[2];
    }
    double* pi = part + 4 * (I - first);
    pi[0] += a0;
    pi[1] += a1;
    pi[2] += a2;
  }
}

// The same four wide with fused multiply-adds: a block's rows are read as
// four numbers (the fourth times a zero of x, or into the unused fourth of
// the partial), so that a block takes six instructions of arithmetic.
[[gnu::target("avx2,fma")]] void RowsAvx2(const BlockArrays& m, std::int64_t first, std::int64_t end,
                                           const double* x, double* part) {
  const __m256i three = _mm256_set_epi64x(0, -1, -1, -1);
  for (std::int64_t I = first; I < end; ++I) {
    const double* xi = x + 3 * I;
    const __m256d x0 = _mm256_set1_pd(xi[0]), x1 = _mm256_set1_pd(xi[1]), x2 = _mm256_set1_pd(xi[2]);
    const __m256d own = _mm256_maskload_pd(xi, three);
    const double* d = m.value + 9 * m.start[I];
    __m256d a0 = _mm256_mul_pd(_mm256_loadu_pd(d), own);
    __m256d a1 = _mm256_mul_pd(_mm256_loadu_pd(d + 3), own);
    __m256d a2 = _mm256_mul_pd(_mm256_loadu_pd(d + 6), own);
    for (std::int64_t q = m.start[I] + 1; q < m.start[I + 1]; ++q) {
      const double* v = m.value + 9 * q;
      const __m256d r0 = _mm256_loadu_pd(v), r1 = _mm256_loadu_pd(v + 3), r2 = _mm256_loadu_pd(v + 6);
      const __m256d xj = _mm256_maskload_pd(x + 3 * static_cast<std::int64_t>(m.column[q]), three);
      a0 = _mm256_fmadd_pd(r0, xj, a0);
      a1 = _mm256_fmadd_pd(r1, xj, a1);
      a2 = _mm256_fmadd_pd(r2, xj, a2);
      double* pj = part + 4 * (m.column[q] - first);
      __m256d p = _mm256_loadu_pd(pj);
      p = _mm256_fmadd_pd(r0, x0, p);
      p = _mm256_fmadd_pd(r1, x1, p);
      p = _mm256_fmadd_pd(r2, x2, p);
      _mm256_storeu_pd(pj, p);
    }
    // The three row sums (a0, a1, a2 summed across) into the row's partial.
    const __m256d pairs = _mm256_hadd_pd(a0, a1), last = _mm256_hadd_pd(a2, a2);
    const __m128d sums01 = _mm_add_pd(_mm256_castpd256_pd128(pairs), _mm256_extractf128_pd(pairs, 1));
    const __m128d sums2 = _mm_add_pd(_mm256_castpd256_pd128(last), _mm256_extractf128_pd(last, 1));
    double* pi = part + 4 * (I - first);
    _mm_storeu_pd(pi, _mm_add_pd(_mm_loadu_pd(pi), sums01));
    pi[2] += _mm_cvtsd_f64(sums2);
  }
}

}  // namespace

bool ProductKernelAvailable(ProductKernel kernel) {
  __builtin_cpu_init();
  return kernel == ProductKernel::Plain || (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"));
}

ProductKernel DispatchedProductKernel() {
  // QOR3D_PRODUCTS=plain takes the plain kernel on any processor: what a
  // processor without AVX2 runs, measured on this one.
  static const ProductKernel kernel = [] {
    const char* chosen = std::getenv("QOR3D_PRODUCTS");
    if (chosen && std::string_view(chosen) == "plain") return ProductKernel::Plain;
    return ProductKernelAvailable(ProductKernel::Avx2Fma) ? ProductKernel::Avx2Fma : ProductKernel::Plain;
  }();
  return kernel;
}

void SymmetricBlocks::Multiply(const double* x, double* y, int threads) const {
  Multiply(x, y, threads, DispatchedProductKernel());
}

void SymmetricBlocks::Multiply(const double* x, double* y, int threads, ProductKernel kernel) const {
  threads = std::max(1, threads);
  if (static_cast<int>(partial_.size()) != threads) Partition(threads);
  const BlockArrays m{start_.data(), column_.data(), value_.data()};
  const auto rows = kernel == ProductKernel::Avx2Fma && ProductKernelAvailable(kernel) ? RowsAvx2 : RowsPlain;
  // Each thread sums its rows and the transposed blocks into its own
  // partial vector; then each thread adds the partials that reach its rows.
#pragma omp parallel num_threads(threads)
  {
    const int step = omp_get_num_threads();
    for (int t = omp_get_thread_num(); t < threads; t += step) {
      std::fill(partial_[t].begin(), partial_[t].end(), 0.0);
      rows(m, firstRow_[t], firstRow_[t + 1], x, partial_[t].data());
    }
#pragma omp barrier
    for (int t = omp_get_thread_num(); t < threads; t += step)
      for (std::int64_t I = firstRow_[t]; I < firstRow_[t + 1]; ++I)
        for (int k = 0; k < 3; ++k) {
          double sum = 0;
          for (int s = 0; s <= t; ++s)
            if (I < reach_[s]) sum += partial_[s][4 * (I - firstRow_[s]) + k];
          y[3 * I + k] = sum;
        }
  }
}

CompressedRows::CompressedRows(std::int32_t rows, std::int32_t columns, const std::int32_t* rowStart,
                               const std::int32_t* column, const double* value, int threads)
    : rows_(rows), columns_(columns), rowStart_(rowStart), column_(column), value_(value) {
  threads = std::max(1, threads);
  firstRow_.assign(static_cast<std::size_t>(threads) + 1, rows);
  firstRow_[0] = 0;
  const std::int64_t entries = rowStart[rows];
  for (int t = 1; t < threads; ++t)
    firstRow_[t] = static_cast<std::int32_t>(
        std::upper_bound(rowStart, rowStart + rows + 1, entries * t / threads) - rowStart - 1);
  partial_.assign(static_cast<std::size_t>(threads), std::vector<double>(static_cast<std::size_t>(columns)));
}

void CompressedRows::Multiply(const double* x, double* y, const double* z) const {
  const int threads = static_cast<int>(partial_.size());
#pragma omp parallel for num_threads(threads) schedule(static, 1)
  for (int t = 0; t < threads; ++t)
    for (std::int32_t i = firstRow_[t]; i < firstRow_[t + 1]; ++i) {
      double sum = z ? z[i] : 0.0;
      for (std::int32_t p = rowStart_[i]; p < rowStart_[i + 1]; ++p) sum += value_[p] * x[column_[p]];
      y[i] = sum;
    }
}

void CompressedRows::MultiplyTransposed(const double* x, double* y, const double* z) const {
  const int threads = static_cast<int>(partial_.size());
#pragma omp parallel num_threads(threads)
  {
    const int step = omp_get_num_threads();
    for (int t = omp_get_thread_num(); t < threads; t += step) {
      std::vector<double>& part = partial_[t];
      std::fill(part.begin(), part.end(), 0.0);
      for (std::int32_t i = firstRow_[t]; i < firstRow_[t + 1]; ++i)
        for (std::int32_t p = rowStart_[i]; p < rowStart_[i + 1]; ++p) part[column_[p]] += value_[p] * x[i];
    }
#pragma omp barrier
#pragma omp for schedule(static)
    for (std::int32_t j = 0; j < columns_; ++j) {
      double sum = z ? z[j] : 0.0;
      for (int t = 0; t < threads; ++t) sum += partial_[t][j];
      y[j] = sum;
    }
  }
}

}  // namespace qor
