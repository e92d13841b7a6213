#include "director/CCEGLViewProtocol.h"

#include <ZqLog.h>

#include <algorithm>
#include <cmath>

namespace cocos2d {

void CCEGLViewProtocol::setFrameSize(float width, float height)
{
    m_obScreenSize = CCSize(width, height);
    if (m_bDesignRequested) {
        applyDesignResolution();
        return;
    }
    m_obDesignResolutionSize = m_obScreenSize;
    m_obViewPortRect = CCRect(0.0f, 0.0f, width, height);
}

void CCEGLViewProtocol::setDesignResolutionSize(float width, float height, ResolutionPolicy policy)
{
    if (!(width > 0.0f) || !(height > 0.0f)) {
        debugLog("[CCEGLViewProtocol] design resolution %.1fx%.1f ignored", width, height);
        return;
    }
    m_obRequestedDesignSize = CCSize(width, height);
    m_eResolutionPolicy = policy;
    m_bDesignRequested = true;
    applyDesignResolution();
}

void CCEGLViewProtocol::applyDesignResolution()
{
    m_obDesignResolutionSize = m_obRequestedDesignSize;
    const CCSize& frame = m_obScreenSize;
    const CCSize& design = m_obDesignResolutionSize;
    if (!(frame.width > 0.0f) || !(frame.height > 0.0f)) {
        // No frame yet: points are pixels until one is set.
        m_fScaleX = m_fScaleY = 1.0f;
        m_obViewPortRect = CCRect(0.0f, 0.0f, design.width, design.height);
        return;
    }
    m_fScaleX = frame.width / design.width;
    m_fScaleY = frame.height / design.height;
    switch (m_eResolutionPolicy) {
    case kResolutionExactFit:
        break;
    case kResolutionNoBorder:
        m_fScaleX = m_fScaleY = std::max(m_fScaleX, m_fScaleY);
        break;
    case kResolutionFixedHeight:
        m_fScaleX = m_fScaleY;
        m_obDesignResolutionSize.width = std::ceil(frame.width / m_fScaleX);
        break;
    case kResolutionFixedWidth:
        m_fScaleY = m_fScaleX;
        m_obDesignResolutionSize.height = std::ceil(frame.height / m_fScaleY);
        break;
    case kResolutionShowAll:
    case kResolutionUnKnown:
    default:
        m_fScaleX = m_fScaleY = std::min(m_fScaleX, m_fScaleY);
        break;
    }
    const float viewWidth = m_obDesignResolutionSize.width * m_fScaleX;
    const float viewHeight = m_obDesignResolutionSize.height * m_fScaleY;
    m_obViewPortRect = CCRect((frame.width - viewWidth) / 2.0f, (frame.height - viewHeight) / 2.0f, viewWidth,
                              viewHeight);
}

CCSize CCEGLViewProtocol::getVisibleSize() const
{
    if (m_eResolutionPolicy == kResolutionNoBorder && m_bDesignRequested && m_obScreenSize.width > 0.0f
        && m_obScreenSize.height > 0.0f)
        return CCSize(m_obScreenSize.width / m_fScaleX, m_obScreenSize.height / m_fScaleY);
    return m_obDesignResolutionSize;
}

CCPoint CCEGLViewProtocol::getVisibleOrigin() const
{
    const CCSize visible = getVisibleSize();
    return CCPoint((m_obDesignResolutionSize.width - visible.width) / 2.0f,
                   (m_obDesignResolutionSize.height - visible.height) / 2.0f);
}

} // namespace cocos2d
