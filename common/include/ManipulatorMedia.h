#ifndef __WrenManipulatorMedia_H__
#define __WrenManipulatorMedia_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** The meshes and materials that manipulator handles are drawn and
        picked with, made in memory, so an editor needs no media files for
        them.

        Meshes, in the handle's own space (a manipulator's root node scales
        it by its camera distance / 8; arrow nodes add (4, 1, 4)):

            MoveArrowLineVisible.mesh   the shaft of an arrow along +Y, 0 .. 0.8
            MoveArrowConeVisible.mesh   its tip, 0.8 .. 1
            MoveArrowCollision.mesh     a box around shaft and tip
            MoveTwoAxisVisible.mesh     a flat square in the XY plane, 0.25 .. 0.45
            MoveTwoAxisCollision.mesh   a larger square around it
            RotationRingVisible.mesh    a thin ring of radius 1 about Y
            RotationRingCollision.mesh  a thicker ring about it
            DragVisible.mesh            a small box about the origin
            DragCollision.mesh          a larger box about the origin

        Every mesh has one submesh of positions and 16-bit indices (so
        collision systems can read its triangles back) and is rebuilt by
        its own loader when the engine reloads it.

        Materials: "ManipulatorHandlesRedMat", "ManipulatorHandlesGreenMat",
        "ManipulatorHandlesBlueMat" and the hover colour
        "ManipulatorHandlesYellowMat": flat colours that ignore lights and
        fog, test and write no depth (so handles stay visible inside the
        objects they move) and show both sides.

        A mesh or material that already exists, or a mesh file of that name
        in some resource group (an editor's own media), is left alone.
    */
    class WREN_COMMON_EXPORT ManipulatorMedia
    {
    public:
        static const char* const ArrowLineMesh;
        static const char* const ArrowConeMesh;
        static const char* const ArrowCollisionMesh;
        static const char* const TwoAxisMesh;
        static const char* const TwoAxisCollisionMesh;
        static const char* const RingMesh;
        static const char* const RingCollisionMesh;
        static const char* const DragMesh;
        static const char* const DragCollisionMesh;

        static const char* const RedMaterial;
        static const char* const GreenMaterial;
        static const char* const BlueMaterial;
        static const char* const YellowMaterial;

        /** Makes whatever of the media is missing, in the engine's internal
            resource group. Needs a running engine with a hardware buffer
            manager and an initialised material manager. */
        static void declare();
    };
}

#endif
