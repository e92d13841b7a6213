#include "director/CCEGLView.h"

namespace cocos2d {

CCEGLView* CCEGLView::sharedOpenGLView()
{
    static CCEGLView* view = new CCEGLView();
    return view;
}

} // namespace cocos2d
