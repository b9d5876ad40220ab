import QtQuick 2.15
Item { property QtObject theme; property var hostWindow; function openMessage(t, b) { return -1 } }
