#include "Line3D.h"

#include <OgreCamera.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreStringConverter.h>

#include <limits>

namespace Wren
{
    namespace
    {
        void logRefusal(const std::string& what)
        {
            if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
                log->logMessage("Line3D: " + what);
        }
    }

    Line3D::Line3D(unsigned int vertexCount) : mVertexCount(vertexCount)
    {
        if (vertexCount == 0)
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, "a line needs at least one vertex",
                        "Line3D::Line3D");
        setMaterial(Ogre::MaterialManager::getSingleton().getByName("BaseWhiteNoLighting"));

        mRenderOp.operationType = Ogre::RenderOperation::OT_LINE_STRIP;
        mRenderOp.useIndexes = false;
        mRenderOp.vertexData = new Ogre::VertexData();
        mRenderOp.vertexData->vertexStart = 0;
        mRenderOp.vertexData->vertexCount = vertexCount;
        Ogre::VertexDeclaration* declaration = mRenderOp.vertexData->vertexDeclaration;
        declaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        Ogre::HardwareVertexBufferSharedPtr buffer =
            Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
                declaration->getVertexSize(0), vertexCount,
                Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
        mRenderOp.vertexData->vertexBufferBinding->setBinding(0, buffer);
    }

    Line3D::~Line3D() { delete mRenderOp.vertexData; }

    void Line3D::addPoint(const Ogre::Vector3& point)
    {
        if (mPoints.size() >= std::numeric_limits<unsigned short>::max())
        {
            logRefusal("a line holds at most 65535 points; the point is not added");
            return;
        }
        mPoints.push_back(point);
    }

    void Line3D::checkIndex(unsigned short index, const char* source) const
    {
        if (index >= mPoints.size())
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS,
                        "point " + Ogre::StringConverter::toString(index) + " of a line of " +
                            Ogre::StringConverter::toString(mPoints.size()) + " points",
                        source);
    }

    const Ogre::Vector3& Line3D::getPoint(unsigned short index) const
    {
        checkIndex(index, "Line3D::getPoint");
        return mPoints[index];
    }

    void Line3D::updatePoint(unsigned short index, const Ogre::Vector3& point)
    {
        checkIndex(index, "Line3D::updatePoint");
        mPoints[index] = point;
    }

    void Line3D::drawLine(const Ogre::Vector3& start, const Ogre::Vector3& end)
    {
        mPoints.assign({start, end});
        drawLines();
    }

    void Line3D::drawLines()
    {
        if (mDrawn)
            return;
        if (mPoints.size() < mVertexCount)
        {
            logRefusal("drawing needs " + Ogre::StringConverter::toString(mVertexCount) +
                       " points but " + Ogre::StringConverter::toString(mPoints.size()) +
                       " are stored; nothing is drawn");
            return;
        }
        mDrawn = true;
        fill(mPoints.data());
    }

    void Line3D::updateLine(const Ogre::Vector3 points[]) { fill(points); }

    void Line3D::updateLine(const std::vector<Ogre::Vector3>& points)
    {
        if (points.size() < mVertexCount)
        {
            logRefusal("an update needs " + Ogre::StringConverter::toString(mVertexCount) +
                       " points but " + Ogre::StringConverter::toString(points.size()) +
                       " are given; the line stays as it was");
            return;
        }
        fill(points.data());
    }

    void Line3D::fill(const Ogre::Vector3* points)
    {
        const Ogre::HardwareVertexBufferSharedPtr& buffer =
            mRenderOp.vertexData->vertexBufferBinding->getBuffer(0);
        Ogre::Vector3 minimum = points[0], maximum = points[0];
        {
            Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_DISCARD);
            float* out = static_cast<float*>(lock.pData);
            for (unsigned int i = 0; i < mVertexCount; ++i)
            {
                *out++ = points[i].x;
                *out++ = points[i].y;
                *out++ = points[i].z;
                minimum.makeFloor(points[i]);
                maximum.makeCeil(points[i]);
            }
        }
        setBoundingBox(Ogre::AxisAlignedBox(minimum, maximum));
    }

    Ogre::Real Line3D::getSquaredViewDepth(const Ogre::Camera* camera) const
    {
        const Ogre::Vector3 centre = mBox.isFinite() ? mBox.getCenter() : Ogre::Vector3::ZERO;
        return camera->getDerivedPosition().squaredDistance(centre);
    }

    Ogre::Real Line3D::getBoundingRadius() const
    {
        return std::max(mBox.getMinimum().length(), mBox.getMaximum().length());
    }
}
