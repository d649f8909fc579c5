"""A small anchor-free single-stage detector for 320 x 320 CPU inference.

Input: RGB scaled to 0..1, N x 3 x S x S (S a multiple of 32).
Output of forward(): per anchor point (strides 8, 16 and 32, row-major per level) the class
logits (fire, smoke) and the box as distances left, top, right, bottom from the point, in
input pixels. ExportHead turns that into the layout the ONNX engine reads.
"""
import copy

import torch
import torch.nn as nn
import torch.nn.functional as F

STRIDES = (8, 16, 32)
NUM_CLASSES = 2  # fire, smoke; the exported model adds "other" between them


def conv(c_in, c_out, k=3, s=1):
    return nn.Sequential(nn.Conv2d(c_in, c_out, k, s, k // 2, bias=False),
                         nn.BatchNorm2d(c_out), nn.ReLU(inplace=True))


class Bottleneck(nn.Module):
    def __init__(self, c):
        super().__init__()
        self.body = nn.Sequential(conv(c, c, 3), conv(c, c, 3))

    def forward(self, x):
        return x + self.body(x)


class CSP(nn.Module):
    """Cross-stage partial block: half the channels go through the bottlenecks."""

    def __init__(self, c, n=1):
        super().__init__()
        h = c // 2
        # Two convolutions rather than one split in two: OpenCV 4.6 mis-reads ONNX Split.
        self.left = conv(c, h, 1)
        self.right = conv(c, h, 1)
        self.blocks = nn.ModuleList(Bottleneck(h) for _ in range(n))
        self.merge = conv((2 + n) * h, c, 1)

    def forward(self, x):
        b = self.right(x)
        outs = [self.left(x), b]
        for block in self.blocks:
            b = block(b)
            outs.append(b)
        return self.merge(torch.cat(outs, 1))


class SPPF(nn.Module):
    def __init__(self, c):
        super().__init__()
        self.reduce = conv(c, c // 2, 1)
        self.merge = conv(c * 2, c, 1)

    def forward(self, x):
        x = self.reduce(x)
        y1 = F.max_pool2d(x, 5, 1, 2)
        y2 = F.max_pool2d(y1, 5, 1, 2)
        y3 = F.max_pool2d(y2, 5, 1, 2)
        return self.merge(torch.cat([x, y1, y2, y3], 1))


class Head(nn.Module):
    def __init__(self, c):
        super().__init__()
        self.stem = conv(c, c, 3)
        self.cls = nn.Conv2d(c, NUM_CLASSES, 1)
        self.box = nn.Conv2d(c, 4, 1)
        nn.init.constant_(self.cls.bias, -4.6)  # a rare positive: start near 0.01
        nn.init.zeros_(self.box.bias)

    def forward(self, x):
        x = self.stem(x)
        return self.cls(x), self.box(x)


class Detector(nn.Module):
    def __init__(self, width=(16, 32, 64, 96, 128), neck=(48, 64, 96)):
        super().__init__()
        w0, w1, w2, w3, w4 = width
        n3, n4, n5 = neck
        self.stem = nn.Sequential(conv(3, w0, 3, 2), conv(w0, w1, 3, 2))
        self.stage3 = nn.Sequential(conv(w1, w2, 3, 2), CSP(w2))
        self.stage4 = nn.Sequential(conv(w2, w3, 3, 2), CSP(w3))
        self.stage5 = nn.Sequential(conv(w3, w4, 3, 2), CSP(w4), SPPF(w4))
        # Top-down, then bottom-up.
        self.lat5 = conv(w4, n4, 1)
        self.td4 = nn.Sequential(conv(n4 + w3, n4, 1), conv(n4, n4, 3))
        self.td3 = nn.Sequential(conv(n4 + w2, n3, 1), conv(n3, n3, 3))
        self.down3 = conv(n3, n3, 3, 2)
        self.bu4 = nn.Sequential(conv(n3 + n4, n4, 1), conv(n4, n4, 3))
        self.down4 = conv(n4, n4, 3, 2)
        self.bu5 = nn.Sequential(conv(n4 + n4, n5, 1), conv(n5, n5, 3))
        self.heads = nn.ModuleList([Head(n3), Head(n4), Head(n5)])

    def levels(self, x):
        """Per stride, the class logits (N x 2 x h x w) and raw box outputs (N x 4 x h x w)."""
        c3 = self.stage3(self.stem(x))
        c4 = self.stage4(c3)
        c5 = self.stage5(c4)
        l5 = self.lat5(c5)
        t4 = self.td4(torch.cat([F.interpolate(l5, scale_factor=2.0, mode="nearest"), c4], 1))
        t3 = self.td3(torch.cat([F.interpolate(t4, scale_factor=2.0, mode="nearest"), c3], 1))
        b4 = self.bu4(torch.cat([self.down3(t3), t4], 1))
        b5 = self.bu5(torch.cat([self.down4(b4), l5], 1))
        return [head(feature) for feature, head in zip((t3, b4, b5), self.heads)]

    def forward(self, x):
        """Returns (logits N x A x 2, distances N x A x 4 in input pixels)."""
        logits, distances = [], []
        for (cls, box), stride in zip(self.levels(x), STRIDES):
            logits.append(cls.flatten(2))
            distances.append(F.softplus(box.flatten(2)) * stride)
        return torch.cat(logits, 2).transpose(1, 2), torch.cat(distances, 2).transpose(1, 2)


def anchor_points(size, device=None):
    """Centres of the anchor points of an S x S input (A x 2, pixels) and their strides (A)."""
    points, strides = [], []
    for stride in STRIDES:
        n = size // stride
        ys, xs = torch.meshgrid(torch.arange(n, device=device), torch.arange(n, device=device),
                                indexing="ij")
        grid = torch.stack([xs, ys], -1).reshape(-1, 2).float()
        points.append((grid + 0.5) * stride)
        strides.append(torch.full((n * n,), float(stride), device=device))
    return torch.cat(points), torch.cat(strides)


def distances_to_boxes(points, distances):
    """Boxes x1, y1, x2, y2 from anchor points and distances left, top, right, bottom."""
    return torch.cat([points - distances[..., :2], points + distances[..., 2:]], -1)


class ExportHead(nn.Module):
    """The detector as the ONNX engine reads it: 1 x (4 + 3) x A, rows centre x, centre y,
    width, height in input pixels, then the scores of fire, other (always 0) and smoke.

    Scores are calibrated, sigmoid(scale * logit + shift) per class, folded into a copy of
    the class convolutions. Everything stays in 4-D tensors with per-level constants, which
    is what OpenCV 4.6's ONNX importer reads reliably."""

    def __init__(self, detector, size, scale, shift):
        super().__init__()
        self.detector = copy.deepcopy(detector).eval()
        for index, (head, stride) in enumerate(zip(self.detector.heads, STRIDES)):
            head.cls = _calibrated_classes(head.cls, scale, shift)
            n = size // stride
            ys, xs = torch.meshgrid(torch.arange(n), torch.arange(n), indexing="ij")
            centres = torch.zeros(1, 4, n, n)
            centres[0, 0] = (xs.float() + 0.5) * stride
            centres[0, 1] = (ys.float() + 0.5) * stride
            self.register_buffer(f"centres{index}", centres)
        # Distances left, top, right, bottom to centre offset and size.
        self.to_box = nn.Conv2d(4, 4, 1, bias=False)
        with torch.no_grad():
            self.to_box.weight.copy_(torch.tensor(
                [[-0.5, 0, 0.5, 0], [0, -0.5, 0, 0.5], [1, 0, 1, 0], [0, 1, 0, 1]],
                dtype=torch.float32).reshape(4, 4, 1, 1))

    def forward(self, x):
        rows = []
        for index, ((cls, box), stride) in enumerate(zip(self.detector.levels(x), STRIDES)):
            box = self.to_box(F.softplus(box) * stride) + getattr(self, f"centres{index}")
            rows.append(torch.cat([box, torch.sigmoid(cls)], 1).reshape(1, 7, -1))
        return torch.cat(rows, 2)


def _calibrated_classes(cls, scale, shift):
    """The class convolution with outputs fire, other, smoke and the calibration folded in."""
    out = nn.Conv2d(cls.in_channels, 3, 1)
    with torch.no_grad():
        out.weight.zero_()
        out.bias.fill_(-100.0)  # "other": never reported
        for target, source in ((0, 0), (2, 1)):
            out.weight[target] = cls.weight[source] * scale[source]
            out.bias[target] = cls.bias[source] * scale[source] + shift[source]
    return out
