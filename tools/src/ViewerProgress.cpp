#include "ViewerProgress.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace Wren
{
    ViewerProgress::ViewerProgress(bool terminal, std::uint64_t totalFrames,
                                   std::uint64_t plainEvery)
        : mTerminal(terminal),
          mTotalFrames(totalFrames),
          mPlainEvery(std::max<std::uint64_t>(plainEvery, 1)),
          mTerminalEvery(std::max<std::uint64_t>(totalFrames / 200, 1))
    {
    }

    std::string ViewerProgress::bar(double done, int width)
    {
        if (width < 1)
            return "[]";
        done = std::min(std::max(done, 0.0), 1.0);
        const int marks = static_cast<int>(std::floor(done * width));
        return "[" + std::string(marks, '#') + std::string(width - marks, '-') + "]";
    }

    std::string ViewerProgress::status(const ViewerFigures& f) const
    {
        std::ostringstream text;
        text << "frame " << f.frames;
        if (mTotalFrames)
            text << "/" << mTotalFrames;
        text << "  cell " << (f.cameraCell.empty() ? "-" : f.cameraCell) << "  partitions "
             << f.loadedPartitions << "  objects " << f.objects;
        return text.str();
    }

    std::string ViewerProgress::onFrame(const ViewerFigures& f)
    {
        const bool last = mTotalFrames && f.frames >= mTotalFrames;
        if (!mTerminal)
        {
            if (f.frames % mPlainEvery == 0 || (last && f.frames == mTotalFrames))
                return status(f) + "\n";
            return std::string();
        }
        if (f.frames % mTerminalEvery != 0 && !last && f.frames != 1)
            return std::string();
        mLineOpen = true;
        std::string line = "\r";
        if (mTotalFrames)
        {
            const double done = double(f.frames) / double(mTotalFrames);
            std::ostringstream percent;
            percent << " " << std::min(100, static_cast<int>(std::floor(done * 100.0))) << "% ";
            line += bar(done, 24) + percent.str();
        }
        // Clears what a longer earlier line left behind.
        return line + status(f) + "\033[K";
    }

    std::string ViewerProgress::finish()
    {
        if (!mLineOpen)
            return std::string();
        mLineOpen = false;
        return "\n";
    }
}
