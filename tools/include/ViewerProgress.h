#ifndef __WrenViewerProgress_H__
#define __WrenViewerProgress_H__

#include "ViewerReport.h"

#include <cstdint>
#include <string>

namespace Wren
{
    /** The viewer's progress text: on a terminal one line that rewrites
        itself (a bar, the frame, the camera's cell, the loaded partitions
        and objects); elsewhere a plain line every few frames, for logs.

        It only makes text; the caller writes it to standard output.
    */
    class ViewerProgress
    {
    public:
        /** @param terminal whether standard output is a terminal (isatty)
            @param totalFrames frames of the run, 0 when open-ended
            @param plainEvery a plain line every this many frames (at least 1)
        */
        ViewerProgress(bool terminal, std::uint64_t totalFrames, std::uint64_t plainEvery = 100);

        /** Text to write after the frame the figures end with; often empty.
            The terminal line starts with a carriage return and has no line
            end; it is redrawn about 200 times over a run and on the last
            frame. A plain line ends with a line end. */
        std::string onFrame(const ViewerFigures& figures);
        /** Text that ends the progress: a line end after a terminal line,
            nothing otherwise. */
        std::string finish();

        /** The bar of a share done, [####------] with width marks. */
        static std::string bar(double done, int width);

    private:
        std::string status(const ViewerFigures& figures) const;

        bool mTerminal;
        std::uint64_t mTotalFrames;
        std::uint64_t mPlainEvery;
        std::uint64_t mTerminalEvery;
        bool mLineOpen = false;
    };
}

#endif
