# hostresources: the host's resource table (HostResourceTable()), compiled from HostResources.rc.
add_library(hostresources STATIC)
travex_add_resources(hostresources ${CMAKE_CURRENT_LIST_DIR}/HostResources.rc HostResourceTable)
target_include_directories(hostresources PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(hostresources PUBLIC mfc)
