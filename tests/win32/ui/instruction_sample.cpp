// A program built for processors past the 486 on purpose: check_instructions.sh
// must find and name what each function here holds.

int SampleLarger(int a, int b)
{
    return a > b ? a : b;  // CMOV
}

bool SampleBelow(double a, double b)
{
    return a < b;  // FCOMI
}

__attribute__((target("sse2,fpmath=sse"))) double SampleSum(double a, double b)
{
    return a + b;  // SSE2
}

int main(int argc, char**)
{
    volatile double half = 0.5;
    return SampleLarger(argc, 2) + (SampleBelow(half, argc) ? 1 : 0) + static_cast<int>(SampleSum(half, half));
}
