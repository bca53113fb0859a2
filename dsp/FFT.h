#pragma once

// In-place complex FFT of n floats (n / 2 complex points, real and imaginary parts
// interleaved), n a power of two from 2 up. X[k] = sum of x[j] * exp(+2 pi i j k / N), in
// natural order and unscaled. Allocates nothing and keeps no state, so it may run on any
// thread. [any thread]
void complexFFT(float* a, int n);

// The same transform with the intermediate stages kept in a caller's workspace of n
// doubles (16-byte aligned) instead of being rounded to float after every stage: faster,
// since the data are converted once on the way in and once on the way out, and a little
// more exact. [any thread]
void complexFFT(float* a, int n, double* workspace);
