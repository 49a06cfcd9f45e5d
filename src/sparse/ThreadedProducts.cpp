#include "sparse/ThreadedProducts.h"

#include <omp.h>

#include <algorithm>

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
  value_.resize(9 * column_.size());
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
        continue;
      }
      column_[q] = J;
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) value_[9 * q + 3 * a + b] = values[rowStart[r + a] + (p - rowStart[r]) + b];
      ++q;
    }
  }
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
    partial_[t].resize(static_cast<std::size_t>(3 * (reach - firstRow_[t])));
  }
}

void SymmetricBlocks::Multiply(const double* x, double* y, int threads) const {
  threads = std::max(1, threads);
  if (static_cast<int>(partial_.size()) != threads) Partition(threads);
  // Each thread sums its rows and the transposed blocks into its own
  // partial vector; then each thread adds the partials that reach its rows.
#pragma omp parallel num_threads(threads)
  {
    const int step = omp_get_num_threads();
    for (int t = omp_get_thread_num(); t < threads; t += step) {
      const std::int64_t first = firstRow_[t];
      double* part = partial_[t].data();
      std::fill(partial_[t].begin(), partial_[t].end(), 0.0);
      for (std::int64_t I = first; I < firstRow_[t + 1]; ++I) {
        const double* xi = x + 3 * I;
        const double* d = value_.data() + 9 * start_[I];
        double a0 = d[0] * xi[0] + d[1] * xi[1] + d[2] * xi[2];
        double a1 = d[3] * xi[0] + d[4] * xi[1] + d[5] * xi[2];
        double a2 = d[6] * xi[0] + d[7] * xi[1] + d[8] * xi[2];
        for (std::int64_t q = start_[I] + 1; q < start_[I + 1]; ++q) {
          const double* v = value_.data() + 9 * q;
          const double* xj = x + 3 * static_cast<std::int64_t>(column_[q]);
          a0 += v[0] * xj[0] + v[1] * xj[1] + v[2] * xj[2];
          a1 += v[3] * xj[0] + v[4] * xj[1] + v[5] * xj[2];
          a2 += v[6] * xj[0] + v[7] * xj[1] + v[8] * xj[2];
          double* pj = part + 3 * (column_[q] - first);
          pj[0] += v[0] * xi[0] + v[3] * xi[1] + v[6] * xi[2];
          pj[1] += v[1] * xi[0] + v[4] * xi[1] + v[7] * xi[2];
          pj[2] += v[2] * xi[0] + v[5] * xi[1] + v[8] * xi[2];
        }
        double* pi = part + 3 * (I - first);
        pi[0] += a0;
        pi[1] += a1;
        pi[2] += a2;
      }
    }
#pragma omp barrier
    for (int t = omp_get_thread_num(); t < threads; t += step)
      for (std::int64_t I = firstRow_[t]; I < firstRow_[t + 1]; ++I)
        for (int k = 0; k < 3; ++k) {
          double sum = 0;
          for (int s = 0; s <= t; ++s)
            if (I < reach_[s]) sum += partial_[s][3 * (I - firstRow_[s]) + k];
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
