#include "ImpostorMath.h"

#include <OgreAxisAlignedBox.h>
#include <OgreHardwareBuffer.h>
#include <OgreMesh.h>
#include <OgreSubMesh.h>
#include <OgreVertexIndexData.h>

#include <algorithm>
#include <cmath>

namespace Ogre
{
    Real ImpostorMath::levelSquaredDistance(int level)
    {
        const Real distance = static_cast<Real>(FIRST_LEVEL_DISTANCE) * static_cast<Real>(1 << level);
        return distance * distance;
    }

    int ImpostorMath::chooseLevel(Real squaredDistance)
    {
        for (int level = 0; level < LEVEL_COUNT; ++level)
            if (levelSquaredDistance(level) >= squaredDistance)
                return level;
        return 0;
    }

    unsigned int ImpostorMath::projectedSize(const Matrix4& view, const Matrix4& projection,
                                             const AxisAlignedBox& box, unsigned int viewportWidth,
                                             unsigned int viewportHeight)
    {
        if (!box.isFinite())
            return 0;
        const AxisAlignedBox::Corners corners = box.getAllCorners();
        Real left = 1, right = 0, top = 1, bottom = 0;
        bool anyInFront = false;
        for (int c = 0; c < 8; ++c)
        {
            const Vector3 inView = view * corners[c];
            if (inView.z >= 0)
                continue;
            anyInFront = true;
            const Vector3 onScreen = projection * inView;
            const Real u = 1 - (0.5f + 0.5f * onScreen.x);
            const Real v = 0.5f + 0.5f * onScreen.y;
            left = std::min(left, u);
            right = std::max(right, u);
            top = std::min(top, v);
            bottom = std::max(bottom, v);
        }
        if (!anyInFront)
            return 0;
        left = Math::Clamp<Real>(left, 0, 1);
        right = Math::Clamp<Real>(right, 0, 1);
        top = Math::Clamp<Real>(top, 0, 1);
        bottom = Math::Clamp<Real>(bottom, 0, 1);
        const Real width = right - left;
        const Real height = bottom - top;
        if (width <= 0 && height <= 0)
            return 0;
        const Real pixels = std::max(static_cast<Real>(viewportWidth) * std::max<Real>(width, 0),
                                     static_cast<Real>(viewportHeight) * std::max<Real>(height, 0));
        return static_cast<unsigned int>(pixels);
    }

    Real ImpostorMath::sizeScale(unsigned int minimum, unsigned int maximum, unsigned int threshold)
    {
        if (threshold == 0)
            return 0;
        return (static_cast<Real>(maximum) - static_cast<Real>(minimum)) / static_cast<Real>(threshold);
    }

    unsigned int ImpostorMath::chooseTextureSize(unsigned int pixelSize, Real sizeScale,
                                                 unsigned int minimum, unsigned int maximum)
    {
        const double scaled = static_cast<double>(pixelSize) * static_cast<double>(sizeScale);
        if (!(scaled < static_cast<double>(maximum)))
            return maximum;
        const unsigned int a = scaled > 0 ? static_cast<unsigned int>(scaled) : 0;
        if (minimum >= a)
            return minimum;
        unsigned int size = maximum;
        while (size / 2 >= a)
            size /= 2;
        return size;
    }

    bool ImpostorMath::needsRedraw(const Vector3& oldToMax, const Vector3& oldToMin,
                                   const Vector3& newToMax, const Vector3& newToMin,
                                   Real redrawCosine, unsigned int textureSize)
    {
        const Real cosine = std::min(oldToMax.dotProduct(newToMax), oldToMin.dotProduct(newToMin));
        const Real limit = textureSize > 128 ? redrawCosine : 0.8f * redrawCosine;
        return cosine < limit;
    }

    FloatRect ImpostorMath::regionTexcoords(int x, int y, unsigned int size, unsigned int textureSize)
    {
        const FloatRect area = regionViewport(x, y, size, textureSize);
        const float inset = 0.001f;
        return FloatRect(area.left + inset, area.top + inset, area.right - inset, area.bottom - inset);
    }

    FloatRect ImpostorMath::regionViewport(int x, int y, unsigned int size, unsigned int textureSize)
    {
        const float texels = static_cast<float>(textureSize);
        return FloatRect(x / texels, y / texels, (x + static_cast<float>(size)) / texels,
                         (y + static_cast<float>(size)) / texels);
    }

    Matrix4 ImpostorMath::captureProjection(Real radius, Real distance)
    {
        const Real inverse = 1 / radius;
        return Matrix4(inverse, 0, 0, 0,
                       0, inverse, 0, 0,
                       0, 0, -inverse, -distance * inverse,
                       0, 0, 0, 1);
    }

    Real ImpostorMath::radiusAbout(const Mesh& mesh, const Vector3& centre)
    {
        Real squared = 0;
        auto measure = [&](const VertexData* data) {
            if (!data)
                return;
            const VertexElement* position =
                data->vertexDeclaration->findElementBySemantic(VES_POSITION);
            if (!position || position->getType() != VET_FLOAT3)
                return;
            HardwareVertexBufferSharedPtr buffer =
                data->vertexBufferBinding->getBuffer(position->getSource());
            HardwareBufferLockGuard lock(buffer, HardwareBuffer::HBL_READ_ONLY);
            const unsigned char* vertex = static_cast<const unsigned char*>(lock.pData) +
                                          data->vertexStart * buffer->getVertexSize();
            for (size_t k = 0; k < data->vertexCount; ++k, vertex += buffer->getVertexSize())
            {
                const float* p = reinterpret_cast<const float*>(vertex + position->getOffset());
                squared = std::max(squared, centre.squaredDistance(Vector3(p[0], p[1], p[2])));
            }
        };
        try
        {
            measure(mesh.sharedVertexData);
            for (const SubMesh* sub : mesh.getSubMeshes())
                if (!sub->useSharedVertices)
                    measure(sub->vertexData);
        }
        catch (const Exception&)
        {
            // A buffer that can not be read back: the caller keeps its box.
            return 0;
        }
        return std::sqrt(squared);
    }
}
