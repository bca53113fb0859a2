#pragma once

// In-place complex FFT of n floats (n / 2 complex points, real and imaginary parts
// interleaved), n a power of two from 2 up. X[k] = sum of x[j] * exp(+2 pi i j k / N), in
// natural order and unscaled. The intermediate stages are kept in a caller's workspace of
// n doubles (16-byte aligned), so the data are rounded to float once, on the way out.
// Allocates nothing and keeps no state, so it may run on any thread. [any thread]
void complexFFT(float* a, int n, double* workspace);
