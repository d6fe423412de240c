// camexpert serve's page. At / it lists every node with its cameras and frame
// grabbers; at /nodes/NODE/items/NAME it shows one item's properties. Both
// follow the server's event stream (/api/events) and change only what an
// event changed.
//
// Device and broker texts are hostile: they reach the document only through
// textContent and attributes, never as markup. A module: strict, and its
// names stay its own.
const CHANGED_MS = 2000;     // how long a changed cell stays marked
const TICK_MS = 1000;        // how often "12 s ago" is brought up to date
const RETRY_FIRST_MS = 1000; // a stream the server refused: first wait before trying again
const RETRY_LAST_MS = 30000;

// --- Texts as camexpert prints them -------------------------------------

// Characters that change how text reads are shown escaped, as camexpert
// escapes them for a terminal: C0 and DEL as \xNN, C1 and the
// bidirectional and format characters as \uNNNN.
const UNSAFE =
    /[\u0000-\u001f\u007f-\u009f\u061c\u200b-\u200f\u2028-\u202e\u2060-\u2064\u2066-\u2069\ufeff]/g;

function escapeUnsafe(c) {
    const code = c.charCodeAt(0);
    const hex = code.toString(16);
    return code < 0x20 || code === 0x7f ? '\\x' + hex.padStart(2, '0')
                                        : '\\u' + hex.padStart(4, '0');
}

function safeText(text) { return String(text).replace(UNSAFE, escapeUnsafe); }

// A cell's text: "-" where there is nothing, as list shows it.
function cellText(value) {
    return value === null || value === undefined || value === '' ? '-' : safeText(value);
}

function counted(count, one, many) { return count + ' ' + (count === 1 ? one : many); }

// A double as printf's %.17g writes it, as show prints one.
function doubleText(value) {
    if (!Number.isFinite(value)) {
        return Number.isNaN(value) ? 'nan' : value > 0 ? 'inf' : '-inf';
    }
    const [mantissa, exponentText] = value.toExponential(16).split('e');
    const exponent = Number(exponentText);
    const trim = (digits) => (digits.includes('.') ? digits.replace(/\.?0+$/, '') : digits);
    if (exponent < -4 || exponent >= 17) {
        const sign = exponent < 0 ? '-' : '+';
        return trim(mantissa) + 'e' + sign + String(Math.abs(exponent)).padStart(2, '0');
    }
    return trim(value.toFixed(16 - exponent));
}

// "12 s ago", "5 min ago", "3 h ago", "2 d ago".
function agoText(sinceMs) {
    if (sinceMs === null) {
        return 'never';
    }
    const seconds = Math.max(0, Math.floor((Date.now() - sinceMs) / 1000));
    if (seconds < 60) {
        return seconds + ' s ago';
    }
    if (seconds < 3600) {
        return Math.floor(seconds / 60) + ' min ago';
    }
    if (seconds < 48 * 3600) {
        return Math.floor(seconds / 3600) + ' h ago';
    }
    return Math.floor(seconds / 86400) + ' d ago';
}

function timeMs(text) {
    if (typeof text !== 'string') {
        return null;
    }
    const ms = Date.parse(text);
    return Number.isNaN(ms) ? null : ms;
}

const STATES = [ 'online', 'offline', 'error' ];

function stateWord(status) { return STATES.includes(status) ? status : 'unknown'; }

function showState(element, status) {
    const word = stateWord(status);
    element.textContent = word;
    element.className = 'state state-' + word;
}

function itemHref(node, name) {
    return '/nodes/' + encodeURIComponent(node) + '/items/' + encodeURIComponent(name);
}

// --- Cells marked for a moment --------------------------------------------

const marked = new Map(); // element -> time its mark ends
let sweepTimer = 0;

function markChanged(element) {
    element.classList.add('changed');
    marked.set(element, performance.now() + CHANGED_MS);
    if (!sweepTimer) {
        sweepTimer = setTimeout(sweepMarks, 250);
    }
}

function sweepMarks() {
    const now = performance.now();
    for (const [element, until] of marked) {
        if (until <= now) {
            element.classList.remove('changed');
            marked.delete(element);
        }
    }
    sweepTimer = marked.size ? setTimeout(sweepMarks, 250) : 0;
}

// Sets a text where it differs from what is shown; true when it did.
function setText(element, text) {
    if (element.textContent === text) {
        return false;
    }
    element.textContent = text;
    return true;
}

// --- Shell patterns as fnmatch reads them, letter case aside ---------------

const CLASS_NAMES = {
    alnum : '\\p{L}\\p{N}',
    alpha : '\\p{L}',
    blank : ' \\t',
    digit : '0-9',
    lower : '\\p{Ll}',
    punct : '\\p{P}\\p{S}',
    space : '\\s',
    upper : '\\p{Lu}',
    xdigit : '0-9A-Fa-f',
};

// A character as itself in a regular expression ('u' mode), outside a class
// and inside one, where '-' needs it too.
function literal(c) { return /[\\^$.*+?()[\]{}|/]/.test(c) ? '\\' + c : c; }

function classLiteral(c) { return c === '-' ? '\\-' : literal(c); }

// The bracket expression starting at chars[start] ('['): its regular
// expression and the index after it, or null when it is not one.
function bracket(chars, start) {
    let i = start + 1;
    let negated = false;
    if (chars[i] === '!' || chars[i] === '^') {
        negated = true;
        i += 1;
    }
    let body = '';
    let first = true;
    while (i < chars.length && (first || chars[i] !== ']')) {
        first = false;
        if (chars[i] === '[' && chars[i + 1] === ':') {
            const end = chars.indexOf(':', i + 2);
            const name = end > 0 && chars[end + 1] === ']' ? chars.slice(i + 2, end).join('') : '';
            if (!(name in CLASS_NAMES)) {
                return null;
            }
            body += CLASS_NAMES[name];
            i = end + 2;
            continue;
        }
        let c = chars[i];
        if (c === '\\' && i + 1 < chars.length) {
            i += 1;
            c = chars[i];
        }
        body += classLiteral(c);
        i += 1;
        if (chars[i] === '-' && i + 1 < chars.length && chars[i + 1] !== ']') {
            let last = chars[i + 1];
            i += 2;
            if (last === '\\' && i < chars.length) {
                last = chars[i];
                i += 1;
            }
            body += '-' + classLiteral(last);
        }
    }
    if (i >= chars.length) {
        return null;
    }
    return {source : '[' + (negated ? '^' : '') + body + ']', next : i + 1};
}

function patternRegExp(pattern) {
    const chars = Array.from(pattern);
    let source = '';
    for (let i = 0; i < chars.length;) {
        const c = chars[i];
        if (c === '*') {
            source += '.*';
            i += 1;
        } else if (c === '?') {
            source += '.';
            i += 1;
        } else if (c === '[') {
            const expression = bracket(chars, i);
            source += expression ? expression.source : '\\[';
            i = expression ? expression.next : i + 1;
        } else if (c === '\\') {
            if (i + 1 === chars.length) {
                return /(?!)/; // a pattern that ends in a backslash matches nothing
            }
            source += literal(chars[i + 1]);
            i += 2;
        } else {
            source += literal(c);
            i += 1;
        }
    }
    try {
        return new RegExp('^' + source + '$', 'isu');
    } catch (error) {
        // A range backwards, such as [z-a], matches nothing, as with fnmatch.
        return /(?!)/;
    }
}

function patternsOf(text) { return text.split(/\s+/).filter(Boolean).map(patternRegExp); }

function sameWord(a, b) { return typeof b === 'string' && a.toLowerCase() === b.toLowerCase(); }

// --- The filters -------------------------------------------------------------

const filter = {
    nodes : [],
    names : [],
    kind : '',
    bus : ''
};

function filtersItems() {
    return filter.names.length > 0 || filter.kind !== '' || filter.bus !== '';
}

function nodeMatches(name) {
    return filter.nodes.length === 0 || filter.nodes.some((pattern) => pattern.test(name));
}

function itemMatches(item) {
    const named =
        filter.names.length === 0 || filter.names.some((pattern) => pattern.test(item.name));
    const ofKind = filter.kind === '' || (filter.kind === 'camera') === (item.kind === 'camera');
    const onBus =
        filter.bus === '' || sameWord(filter.bus, item.bus) || sameWord(filter.bus, item.busClass);
    return named && ofKind && onBus;
}

// --- The picture, as the events tell it ---------------------------------------

// node name -> {name, status, reason, lastSeen, lastSeenMs, items: Map(name -> summary)}
const nodes = new Map();

// What the next frame must draw: node name -> Set of item names. A node in
// the map has its heading redrawn.
const dirty = new Map();
let summaryDirty = true;

function touch(nodeName, itemName, countsChange = true) {
    let items = dirty.get(nodeName);
    if (!items) {
        items = new Set();
        dirty.set(nodeName, items);
    }
    if (itemName !== undefined) {
        items.add(itemName);
    }
    summaryDirty = summaryDirty || countsChange;
    requestFrame();
}

function nodeOf(name) {
    let node = nodes.get(name);
    if (!node) {
        node = {
            name,
            status : null,
            reason : null,
            lastSeen : null,
            lastSeenMs : null,
            items : new Map()
        };
        nodes.set(name, node);
        touch(name);
    }
    return node;
}

function setSeen(node, lastSeen) {
    if (lastSeen !== undefined && node.lastSeen !== lastSeen) {
        node.lastSeen = lastSeen;
        node.lastSeenMs = timeMs(lastSeen);
        touch(node.name, undefined, false);
    }
}

function setState(node, status, reason) {
    if (node.status !== status || node.reason !== reason) {
        node.status = status;
        node.reason = reason;
        touch(node.name);
    }
}

function setItem(node, item) {
    node.items.set(item.name, item);
    touch(node.name, item.name);
}

function dropItem(node, name) {
    if (node.items.delete(name)) {
        touch(node.name, name);
    }
}

function dropNode(name) {
    const node = nodes.get(name);
    if (node) {
        nodes.delete(name);
        touch(name);
    }
}

// The whole picture, at the start and after a reconnection: taken as the
// truth and compared with what is shown, so only what differs is redrawn.
function reconcile(picture) {
    const seen = new Set();
    for (const described of picture) {
        seen.add(described.node);
        const node = nodeOf(described.node);
        setState(node, described.status ?? null, described.reason ?? null);
        setSeen(node, described.lastSeen ?? null);
        const names = new Set();
        for (const item of described.items || []) {
            names.add(item.name);
            const known = node.items.get(item.name);
            if (!known || summaryKey(known) !== summaryKey(item)) {
                setItem(node, item);
            }
        }
        for (const name of [...node.items.keys()]) {
            if (!names.has(name)) {
                dropItem(node, name);
            }
        }
    }
    for (const name of [...nodes.keys()]) {
        if (!seen.has(name)) {
            dropNode(name);
        }
    }
}

function summaryKey(item) {
    return JSON.stringify([
        item.kind, item.bus, item.busClass, item.vendor, item.model, item.serialNumber, item.address
    ]);
}

// One event of the stream, as the picture and the open view take it.
function apply(event) {
    switch (event.event) {
    case 'present':
        reconcile(event.nodes || []);
        pictureArrived = true;
        break;
    case 'added':
    case 'changed':
        for (const item of event.items || []) {
            setItem(nodeOf(event.node), item);
        }
        break;
    case 'removed':
        if (nodes.has(event.node)) {
            for (const name of event.names || []) {
                dropItem(nodes.get(event.node), name);
            }
        }
        break;
    case 'state': {
        const node = nodeOf(event.node);
        setState(node, event.state ?? null, event.reason ?? null);
        setSeen(node, event.lastSeen);
        break;
    }
    case 'seen':
        setSeen(nodeOf(event.node), event.lastSeen ?? null);
        break;
    case 'gone':
        dropNode(event.node);
        break;
    default:
        break;
    }
    view.eventApplied(event);
}

// --- Drawing, once a frame -------------------------------------------------------

let frameRequested = false;
let pictureArrived = false;

function requestFrame() {
    if (!frameRequested) {
        frameRequested = true;
        requestAnimationFrame(drawFrame);
    }
}

function drawFrame() {
    frameRequested = false;
    view.draw();
}

// --- The list of nodes -------------------------------------------------------------

const COLUMNS = [ 'name', 'kind', 'bus', 'vendor', 'model', 'serial', 'address' ];

function columnTexts(item) {
    return [
        cellText(item.name),
        cellText(item.kind),
        cellText(item.bus),
        cellText(item.vendor),
        cellText(item.model),
        cellText(item.serialNumber),
        cellText(item.address),
    ];
}

// list's order: cameras before frame grabbers, names letter case aside.
function asciiLower(text) {
    return text.replace(/[A-Z]/g, (c) => String.fromCharCode(c.charCodeAt(0) + 32));
}

function itemOrder(a, b) {
    const aGrabber = a.kind === 'frame grabber';
    const bGrabber = b.kind === 'frame grabber';
    if (aGrabber !== bGrabber) {
        return aGrabber ? 1 : -1;
    }
    const aFolded = asciiLower(a.name);
    const bFolded = asciiLower(b.name);
    if (aFolded !== bFolded) {
        return aFolded < bFolded ? -1 : 1;
    }
    return a.name < b.name ? -1 : a.name > b.name ? 1 : 0;
}

// The index where key goes in a sorted array.
function insertionIndex(array, key, order) {
    let low = 0;
    let high = array.length;
    while (low < high) {
        const middle = (low + high) >> 1;
        if (order(array[middle], key) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

const byText = (a, b) => (a < b ? -1 : a > b ? 1 : 0);

function makeListView() {
    const container = document.getElementById('nodes');
    const summary = document.getElementById('summary');
    const noMatch = document.getElementById('no-match');
    const template = document.getElementById('node-template');
    const sections = new Map(); // node name -> section view
    const sectionOrder = [];    // node names, sorted
    let sectionCount = 0;
    let drawnOnce = false;

    // A row to clone: each cell holds one text node, whose data changes with
    // the item (the name's inside its link).
    const rowPrototype = document.createElement('tr');
    for (const column of COLUMNS) {
        const cell = document.createElement(column === 'name' ? 'th' : 'td');
        cell.className = column;
        let holder = cell;
        if (column === 'name') {
            cell.setAttribute('scope', 'row');
            holder = cell.appendChild(document.createElement('a'));
        }
        holder.appendChild(document.createTextNode(''));
        rowPrototype.appendChild(cell);
    }

    // A node's section, not yet in the document.
    function newSection(name) {
        const section = template.content.firstElementChild.cloneNode(true);
        const id = 'node-' + ++sectionCount;
        section.setAttribute('data-node', name);
        const heading = section.querySelector('.node-name');
        heading.id = id;
        heading.textContent = safeText(name);
        section.setAttribute('aria-labelledby', id);
        section.querySelector('table').setAttribute('aria-labelledby', id);
        const shown = {
            name,
            element : section,
            state : section.querySelector('.state'),
            seen : section.querySelector('.seen'),
            reason : section.querySelector('.reason'),
            table : section.querySelector('table'),
            body : section.querySelector('tbody'),
            noItems : section.querySelector('.no-items'),
            rows : new Map(), // item name -> row view
            rowOrder : [],    // row views, in list's order
        };
        sections.set(name, shown);
        return shown;
    }

    // Filled before it goes in, so its rows go into no live document.
    function placeSection(shown) {
        const index = insertionIndex(sectionOrder, shown.name, byText);
        const next = index < sectionOrder.length ? sections.get(sectionOrder[index]).element : null;
        sectionOrder.splice(index, 0, shown.name);
        container.insertBefore(shown.element, next);
    }

    function dropSection(shown) {
        shown.element.remove();
        sections.delete(shown.name);
        sectionOrder.splice(insertionIndex(sectionOrder, shown.name, byText), 1);
    }

    function drawHead(shown, node, mark) {
        const word = stateWord(node.status);
        if (setText(shown.state, word)) {
            shown.state.className = 'state state-' + word;
            if (mark) {
                markChanged(shown.state);
            }
        }
        const reason = node.reason ? safeText(node.reason) : '';
        if (setText(shown.reason, reason) && mark && reason) {
            markChanged(shown.reason);
        }
        shown.reason.hidden = reason === '';
        if (node.lastSeen) {
            shown.seen.setAttribute('datetime', node.lastSeen);
            shown.seen.title = 'last word at ' + safeText(node.lastSeen);
        } else {
            shown.seen.removeAttribute('datetime');
            shown.seen.removeAttribute('title');
        }
        drawSeen(shown, node);
    }

    function drawSeen(shown, node) { setText(shown.seen, agoText(node.lastSeenMs)); }

    function drawRow(shown, name, item, mark) {
        let row = shown.rows.get(name);
        if (!item) {
            if (row) {
                row.element.remove();
                shown.rows.delete(name);
                shown.rowOrder.splice(shown.rowOrder.indexOf(row), 1);
            }
            return;
        }
        const isNew = !row;
        if (isNew) {
            const element = rowPrototype.cloneNode(true);
            element.setAttribute('data-item', name);
            const cells = Array.from(element.children);
            cells[0].firstChild.setAttribute('href', itemHref(shown.name, name));
            const texts =
                cells.map((cell, column) => (column === 0 ? cell.firstChild : cell).firstChild);
            row = {element, cells, texts, item, visible : true};
            shown.rows.set(name, row);
        } else if (itemOrder(row.item, item) !== 0) {
            shown.rowOrder.splice(shown.rowOrder.indexOf(row), 1); // its kind changed: it moves
            row.element.remove();
        } else {
            row.item = item;
        }
        if (isNew || !row.element.parentNode) {
            row.item = item;
            const index = insertionIndex(shown.rowOrder, row, (a, b) => itemOrder(a.item, b.item));
            const next = index < shown.rowOrder.length ? shown.rowOrder[index].element : null;
            shown.rowOrder.splice(index, 0, row);
            shown.body.insertBefore(row.element, next);
        }
        const texts = columnTexts(item);
        for (let column = 0; column < texts.length; ++column) {
            const shownText = row.texts[column];
            if (shownText.data !== texts[column]) {
                shownText.data = texts[column];
                if (mark) {
                    markChanged(row.cells[column]);
                }
            }
        }
        showRow(row, !filtersItems() || itemMatches(item));
    }

    function showRow(row, visible) {
        if (row.visible !== visible) {
            row.visible = visible;
            row.element.hidden = !visible;
        }
    }

    // Hides the section of a node the filters leave out.
    function showSection(shown) {
        const hasRows = shown.rows.size > 0;
        shown.table.hidden = !hasRows;
        shown.noItems.hidden = hasRows;
        let visible = nodeMatches(shown.name);
        if (visible && filtersItems()) {
            visible = shown.rowOrder.some((row) => row.visible);
        }
        shown.element.hidden = !visible;
    }

    function draw() {
        const mark = drawnOnce;
        for (const [name, itemNames] of dirty) {
            const node = nodes.get(name);
            let shown = sections.get(name);
            if (!node) {
                if (shown) {
                    dropSection(shown);
                }
                continue;
            }
            const isNew = !shown;
            if (isNew) {
                shown = newSection(name);
            }
            drawHead(shown, node, mark);
            for (const itemName of itemNames) {
                drawRow(shown, itemName, node.items.get(itemName), mark);
            }
            showSection(shown);
            if (isNew) {
                placeSection(shown);
            }
        }
        dirty.clear();
        if (summaryDirty && pictureArrived) {
            drawSummary();
            summaryDirty = false;
        }
        if (pictureArrived) {
            drawnOnce = true;
        }
    }

    function stateCounts(list) {
        const counts = {online : 0, offline : 0, error : 0, unknown : 0};
        for (const node of list) {
            counts[stateWord(node.status)] += 1;
        }
        let text = counts.online + ' online, ' + counts.offline + ' offline';
        if (counts.error) {
            text += ', ' + counts.error + ' error';
        }
        if (counts.unknown) {
            text += ', ' + counts.unknown + ' unknown';
        }
        return text;
    }

    function kindCounts(items) {
        const cameras = items.filter((item) => item.kind === 'camera').length;
        return counted(cameras, 'camera', 'cameras') + ', ' +
               counted(items.length - cameras, 'frame grabber', 'frame grabbers');
    }

    // "2 nodes: 1 online, 1 offline; 13 items: 11 cameras, 2 frame grabbers",
    // or with filters "1 of 2 nodes: ...; 2 of 13 items: ...".
    function drawSummary() {
        const all = [...nodes.values() ];
        const allItems = all.flatMap((node) => [...node.items.values()]);
        const filtered = filter.nodes.length > 0 || filtersItems();
        noMatch.hidden = true;
        if (!filtered) {
            summary.textContent = counted(all.length, 'node', 'nodes') + ': ' + stateCounts(all) +
                                  '; ' + counted(allItems.length, 'item', 'items') + ': ' +
                                  kindCounts(allItems);
            return;
        }
        const shownNodes = all.filter((node) => !sections.get(node.name)?.element.hidden);
        const shownItems = shownNodes.flatMap((node) => sections.get(node.name)
                                                            .rowOrder.filter((row) => row.visible)
                                                            .map((row) => row.item));
        summary.textContent = shownNodes.length + ' of ' + counted(all.length, 'node', 'nodes') +
                              ': ' + stateCounts(shownNodes) + '; ' + shownItems.length + ' of ' +
                              counted(allItems.length, 'item', 'items') + ': ' +
                              kindCounts(shownItems);
        noMatch.hidden = shownNodes.length > 0;
    }

    function refilter() {
        for (const shown of sections.values()) {
            for (const row of shown.rowOrder) {
                showRow(row, !filtersItems() || itemMatches(row.item));
            }
            showSection(shown);
        }
        if (pictureArrived) {
            drawSummary();
        }
    }

    function tick() {
        for (const shown of sections.values()) {
            drawSeen(shown, nodes.get(shown.name));
        }
    }

    return {
        element : document.getElementById('list-view'),
        start() { setUpFilters(refilter); },
        draw,
        tick,
        eventApplied() {},
    };
}

// The filters' fields, kept in the address (?node=&name=&kind=&bus=, as
// /api/nodes takes them) so a filtered view can be bookmarked.
function setUpFilters(refilter) {
    const fields = {
        node : document.getElementById('filter-node'),
        name : document.getElementById('filter-name'),
        kind : document.getElementById('filter-kind'),
        bus : document.getElementById('filter-bus'),
    };
    const query = new URLSearchParams(location.search);
    fields.node.value = query.getAll('node').join(' ');
    fields.name.value = query.getAll('name').join(' ');
    const kind = (query.get('kind') || '').toLowerCase();
    fields.kind.value = kind === 'frame grabber' ? 'grabber' : kind;
    const bus = (query.get('bus') || '').trim();
    const busOption = [...fields.bus.options ].find((option) => sameWord(bus, option.value));
    fields.bus.value = busOption ? busOption.value : '';

    function read() {
        filter.nodes = patternsOf(fields.node.value);
        filter.names = patternsOf(fields.name.value);
        filter.kind = fields.kind.value;
        filter.bus = fields.bus.value;
    }

    function changed() {
        read();
        refilter();
        const next = new URLSearchParams();
        fields.node.value.split(/\s+/).filter(Boolean).forEach((pattern) =>
                                                                   next.append('node', pattern));
        fields.name.value.split(/\s+/).filter(Boolean).forEach((pattern) =>
                                                                   next.append('name', pattern));
        if (filter.kind) {
            next.set('kind', filter.kind);
        }
        if (filter.bus) {
            next.set('bus', filter.bus);
        }
        const search = next.toString();
        history.replaceState(null, '', location.pathname + (search ? '?' + search : ''));
    }

    read();
    for (const field of Object.values(fields)) {
        field.addEventListener('input', changed);
        field.addEventListener('change', changed);
    }
    document.getElementById('filters').addEventListener('submit',
                                                        (event) => event.preventDefault());
}

// --- One item's page ------------------------------------------------------------------

// The value column as show prints it: the display form where the document
// has one, the reason where the value is unreadable, "" for an empty text.
function propertyValueText(property) {
    if (typeof property.error === 'string') {
        return safeText(property.error);
    }
    if (typeof property.display === 'string') {
        return safeText(property.display);
    }
    const value = property.value;
    if (value === null || value === undefined) {
        return property.type === 'timestamp' ? '(no time)' : '-';
    }
    if (typeof value === 'boolean') {
        return value ? 'true' : 'false';
    }
    if (typeof value === 'number') {
        return property.type === 'double' ? doubleText(value) : String(value);
    }
    return value === '' ? '""' : safeText(value);
}

function makeItemView(nodeName, itemName) {
    const title = document.getElementById('item-title');
    const nodeLabel = document.getElementById('item-node');
    const nodeState = document.getElementById('item-node-state');
    const nodeSeen = document.getElementById('item-node-seen');
    const summary = document.getElementById('item-summary');
    const notice = document.getElementById('item-notice');
    const table = document.getElementById('item');
    const body = table.querySelector('tbody');
    const rows = new Map(); // tag -> {element, cells}
    let loaded = false;
    let loading = null;
    let reloadWanted = false;

    title.textContent = safeText(itemName);
    nodeLabel.textContent = safeText(nodeName);
    document.title = safeText(itemName) + ' on ' + safeText(nodeName) + ' \u2013 camexpert';

    function tell(text) {
        notice.textContent = text;
        notice.hidden = text === '';
        table.classList.toggle('stale', text !== '');
    }

    function newRow(tag) {
        const element = document.createElement('tr');
        element.setAttribute('data-tag', tag);
        const cells = [ 'tag', 'label', 'type', 'value' ].map((column) => {
            const cell = document.createElement(column === 'tag' ? 'th' : 'td');
            cell.className = column;
            if (column === 'tag') {
                cell.setAttribute('scope', 'row');
            }
            element.appendChild(cell);
            return cell;
        });
        return {element, cells};
    }

    function drawDocument(item) {
        const properties = Array.isArray(item.properties) ? item.properties : [];
        const maker = [ item.vendor, item.model ].filter(Boolean).map(safeText).join(' ');
        summary.textContent = cellText(item.kind) + ', ' +
                              counted(properties.length, 'property', 'properties') +
                              (maker ? ': ' + maker : '');
        const mark = loaded;
        const present = new Set();
        for (const property of properties) {
            const tag = String(property.tag);
            present.add(tag);
            let row = rows.get(tag);
            const isNew = !row;
            if (isNew) {
                row = newRow(tag);
                rows.set(tag, row);
            }
            body.appendChild(row.element); // in the document's order
            const texts = [
                safeText(tag), cellText(property.label), cellText(property.type),
                propertyValueText(property)
            ];
            texts.forEach((text, column) => {
                if (setText(row.cells[column], text) && mark) {
                    markChanged(row.cells[column]);
                }
            });
            row.cells[3].classList.toggle('unreadable', typeof property.error === 'string');
        }
        for (const [tag, row] of rows) {
            if (!present.has(tag)) {
                row.element.remove();
                rows.delete(tag);
            }
        }
        loaded = true;
    }

    // Fetches the item's document; one fetch at a time, one more if an event
    // came while it ran.
    function load() {
        if (loading) {
            reloadWanted = true;
            return;
        }
        loading =
            fetch('/api/nodes/' + encodeURIComponent(nodeName) + '/items/' +
                      encodeURIComponent(itemName),
                  {
                      cache : 'no-store',
                      headers : {Accept : 'application/json'},
                  })
                .then((response) => {
                    if (response.status === 404) {
                        tell(
                            loaded
                                ? 'This item is no longer on its node; the properties it had last are shown.'
                                : 'There is no such item on this node.');
                        return null;
                    }
                    if (!response.ok) {
                        throw new Error('the server answered ' + response.status);
                    }
                    return response.json();
                })
                .then((item) => {
                    if (item) {
                        tell('');
                        drawDocument(item);
                    }
                })
                .catch((error) => tell('The item could not be read: ' + error.message + '.'))
                .finally(() => {
                    loading = null;
                    if (reloadWanted) {
                        reloadWanted = false;
                        load();
                    }
                });
    }

    function drawNodeState() {
        const node = nodes.get(nodeName);
        showState(nodeState, node ? node.status : null);
        setText(nodeSeen, agoText(node ? node.lastSeenMs : null));
    }

    return {
        element : document.getElementById('item-view'),
        start() { load(); },
        draw() {
            dirty.clear();
            drawNodeState();
        },
        tick : drawNodeState,
        eventApplied(event) {
            if (event.event === 'present') {
                load();
                return;
            }
            if (event.node !== nodeName) {
                return;
            }
            if (event.event === 'gone') {
                tell('The node is gone from the broker; the properties it had last are shown.');
            } else if ((event.names || []).includes(itemName)) {
                if (event.event === 'removed') {
                    tell(
                        'This item was removed from its node; the properties it had last are shown.');
                } else {
                    load();
                }
            }
        },
    };
}

// --- The event stream ---------------------------------------------------------------------

const connection = document.getElementById('connection');
let retryMs = RETRY_FIRST_MS;

function showConnection(word, explanation) {
    connection.textContent = word;
    connection.className = 'connection-' + word;
    connection.title = explanation;
}

// The browser reconnects a dropped stream by itself, with the last event's
// id, and the server sends what was missed or the whole picture again. A
// stream the server refused is closed for good, so that is retried here.
let source = null;
let retryTimer = 0;

function connect() {
    showConnection('connecting', 'connecting to the server');
    const stream = new EventSource('/api/events');
    source = stream;
    stream.addEventListener('open', () => {
        retryMs = RETRY_FIRST_MS;
        showConnection('live', 'changes show as they happen');
    });
    stream.addEventListener('message', (message) => {
        let event;
        try {
            event = JSON.parse(message.data);
        } catch (error) {
            return;
        }
        if (event && typeof event === 'object') {
            apply(event);
        }
    });
    stream.addEventListener('error', () => {
        showConnection('lost', 'the connection to the server is lost; reconnecting');
        if (stream.readyState === EventSource.CLOSED && source === stream) {
            retryTimer = setTimeout(connect, retryMs);
            retryMs = Math.min(retryMs * 2, RETRY_LAST_MS);
        }
    });
}

// A page left behind holds no stream: the server's place for another client
// and the browser's connection to it are freed at once. A page the browser
// kept and shows again connects anew and is brought up to date.
function disconnect() {
    clearTimeout(retryTimer);
    if (source) {
        source.close();
        source = null;
    }
}

// --- Start ---------------------------------------------------------------------------------

function itemRoute() {
    const match = /^\/nodes\/([^/]+)\/items\/([^/]+)\/?$/.exec(location.pathname);
    if (!match) {
        return null;
    }
    try {
        return {node : decodeURIComponent(match[1]), name : decodeURIComponent(match[2])};
    } catch (error) {
        return null;
    }
}

const route = itemRoute();
const view = route ? makeItemView(route.node, route.name) : makeListView();
view.element.hidden = false;
view.start();
connect();
addEventListener('pagehide', disconnect);
addEventListener('pageshow', (event) => {
    if (event.persisted) {
        connect();
    }
});
setInterval(() => view.tick(), TICK_MS);
