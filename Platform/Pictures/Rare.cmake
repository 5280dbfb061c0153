# The rare picture formats: metafiles (drawn as vectors), EPS previews,
# Autodesk Animator, Paint Shop Pro and Arts & Letters.
target_sources(lmo_pictures PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MetafileDib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileCanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileWmf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileEmf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EpsPreview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AutodeskCel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AutodeskFlic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaintShopPro.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArtsLetters.cpp
)
