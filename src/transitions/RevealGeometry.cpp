#include "transitions/EffectGeometry.h"
#include "transitions/RuntimeRandom.h"

#include <utility>

int HalfToEven(int size)
{
    const int half = size / 2;
    return (size % 2 != 0 && half % 2 != 0) ? half + 1 : half;
}

EffectGeometry WipeGeometry(int W, int H, int code, int step)
{
    // Unknown codes draw nothing but still take their passes.
    return {code < 4 ? H : W, step, 1, [=](int i, std::vector<StepCopy> &copies) {
                switch (code) {
                case 1: copies.push_back(StepCopy::inPlace(0, 0, W, i)); break;
                case 2: copies.push_back(StepCopy::inPlace(0, H - i, W, i)); break;
                case 4: copies.push_back(StepCopy::inPlace(0, 0, i, H)); break;
                case 8: copies.push_back(StepCopy::inPlace(W - i, 0, i, H)); break;
                default: break;
                }
            }};
}

EffectGeometry DoorsCloseGeometry(int W, int H, int direction, int step)
{
    return {HalfToEven(direction == 1 ? H : W), step, 1, [=](int i, std::vector<StepCopy> &copies) {
                if (direction == 1) {
                    copies.push_back(StepCopy::inPlace(0, 0, W, i));
                    copies.push_back(StepCopy::inPlace(0, H - i, W, i));
                } else if (direction == 2) {
                    copies.push_back(StepCopy::inPlace(0, 0, i, H));
                    copies.push_back(StepCopy::inPlace(W - i, 0, i, H));
                }
            }};
}

EffectGeometry DoorsOpenGeometry(int W, int H, int direction, int step)
{
    const int c = HalfToEven(direction == 1 ? H : W);
    return {c, step, 1, [=](int i, std::vector<StepCopy> &copies) {
                if (direction == 1) {
                    copies.push_back(StepCopy::inPlace(0, c - i, W, i));
                    copies.push_back(StepCopy::inPlace(0, c, W, i));
                } else if (direction == 2) {
                    copies.push_back(StepCopy::inPlace(c - i, 0, i, H));
                    copies.push_back(StepCopy::inPlace(c, 0, i, H));
                }
            }};
}

EffectGeometry BlindsGeometry(int W, int H, int code, int step, int bandSize)
{
    const int s = bandSize;
    // A band size of 0 or less is also the limit, so the band walk below never runs.
    return {s, step, 1, [=](int i, std::vector<StepCopy> &copies) {
                const int extent = code < 4 ? H : W;
                for (int k = 0; k <= extent; k += s) {
                    if (code == 1)
                        copies.push_back(StepCopy::inPlace(0, k, W, i));
                    else if (code == 2 || code == 3)
                        copies.push_back(StepCopy::inPlace(0, k + s - i, W, i));
                    else if (code == 4)
                        copies.push_back(StepCopy::inPlace(k, 0, i, H));
                    else if (code > 4)
                        copies.push_back(StepCopy::inPlace(k + s - i, 0, i, H));
                }
            }};
}

EffectGeometry RandomLinesGeometry(int W, int H, int orientation, int linesPerPassLessOne, std::vector<int> order)
{
    const int lines = static_cast<int>(order.size());
    return {lines, 1, linesPerPassLessOne + 1,
            [=, order = std::move(order)](int k, std::vector<StepCopy> &copies) {
                const int p = order[static_cast<std::size_t>(k)];
                copies.push_back(orientation == 1 ? StepCopy::inPlace(p, 0, 1, H) : StepCopy::inPlace(0, p, W, 1));
            }};
}

std::vector<int> ShuffledLines(int count, RuntimeRandom &random)
{
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int p = 0; p < count; ++p)
        order[static_cast<std::size_t>(p)] = p;
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (auto &entry : order)
            std::swap(entry, order[static_cast<std::size_t>(random.Rnd() * count)]);
    }
    return order;
}
