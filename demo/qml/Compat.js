// Corvane demo host application: guarded access to the module's objects, so that a panel keeps
// loading while one of its types is still being written.
.pragma library

function has(obj, name) {
    return obj !== null && obj !== undefined && obj[name] !== undefined
}

function get(obj, name, fallback) {
    if (obj === null || obj === undefined)
        return fallback
    var value = obj[name]
    return value === undefined || value === null ? fallback : value
}

function set(obj, name, value) {
    if (!has(obj, name))
        return false
    obj[name] = value
    return true
}

function call(obj, name, args, fallback) {
    if (obj === null || obj === undefined || typeof obj[name] !== "function")
        return fallback
    var result = obj[name].apply(obj, args || [])
    return result === undefined ? fallback : result
}

// Header roles of the host's table models.
var InitiallyVisibleRole = 256
var ProportionalWidthRole = 257
var SortTypeRole = 258
var ColumnIdRole = 259
var ColumnCodeRole = 260
var InitialSortColumnRole = 261
var NameNotEmptyRole = 262
var HeaderTypeRole = 263
var InitialSortOrderRole = 14
