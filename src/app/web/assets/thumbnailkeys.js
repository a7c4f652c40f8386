// Runs in an isolated world beside every page of the category pane, since the
// pages' own scripts are off. While a template link has the focus, the arrow
// keys move it to the thumbnail beside, above or below, Home and End to the
// first and the last; the page stays put unless the new one is out of view.
// Elsewhere on the page the keys scroll as always.
(function () {
    var keys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Home', 'End'];

    function templateLinks() {
        return Array.prototype.filter.call(document.querySelectorAll('a[href]'), function (link) {
            var box = link.getBoundingClientRect();
            return typeof link.href === 'string' && link.href.indexOf('#') >= 0 &&
                box.width > 0 && box.height > 0;
        });
    }

    // The link in the nearest row above or below, nearest to the column of `from`.
    function inNextRow(links, from, down) {
        var here = from.getBoundingClientRect();
        var centre = here.left + here.width / 2;
        var rows = links.map(function (link) {
            return { link: link, box: link.getBoundingClientRect() };
        }).filter(function (item) {
            return down ? item.box.top >= here.bottom - 1 : item.box.bottom <= here.top + 1;
        });
        if (rows.length === 0)
            return null;
        var edge = rows.reduce(function (best, item) {
            return down ? Math.min(best, item.box.top) : Math.max(best, item.box.bottom);
        }, down ? Infinity : -Infinity);
        var best = null;
        var bestDistance = Infinity;
        rows.forEach(function (item) {
            var inRow = down ? item.box.top - edge < here.height / 2
                             : edge - item.box.bottom < here.height / 2;
            var distance = Math.abs(item.box.left + item.box.width / 2 - centre);
            if (inRow && distance < bestDistance) {
                best = item.link;
                bestDistance = distance;
            }
        });
        return best;
    }

    document.addEventListener('keydown', function (event) {
        if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey ||
            event.shiftKey || keys.indexOf(event.key) < 0)
            return;
        var links = templateLinks();
        var at = links.indexOf(document.activeElement);
        if (at < 0)
            return;
        var next = null;
        switch (event.key) {
        case 'Home': next = links[0]; break;
        case 'End': next = links[links.length - 1]; break;
        case 'ArrowLeft': next = links[at - 1] || null; break;
        case 'ArrowRight': next = links[at + 1] || null; break;
        default: next = inNextRow(links, links[at], event.key === 'ArrowDown');
        }
        // At an edge the focus stays where it is.
        event.preventDefault();
        if (next && next !== links[at]) {
            next.focus();
            next.scrollIntoView({ block: 'nearest', inline: 'nearest' });
        }
    }, true);
})();
